#include "app/services/av_speech_service.h"

#include <filesystem>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/logging/log_capture.h"
#include "core/scheduling/in_memory_preferences_store.h"
#include "tests/app/services/speech_fakes.h"

namespace vorlane {
namespace {

using testing::FakeAudioOutput;
using testing::FakeSynthesisEngine;
using Lines = std::vector<LogCapture::Line>;

const Calendar newYork("America/New_York");

Date at(int hour, int minute) { return *newYork.date(2026, 3, 10, hour, minute); }

LogCapture::Line duck(bool on) {
  return {LogLevel::debug, "speech", on ? "ducking other audio: true" : "ducking other audio: false"};
}
LogCapture::Line speaking(const std::string& text) {
  return {LogLevel::info, "speech", "speaking: " + text};
}

class AVSpeechServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    const PcmBuffer clip{16000, 1, {100, -100, 200, -200}};
    write("hour-3-00.wav", testing::wavFile(clip));
    write("hour-0-30.wav", testing::wavFile(clip));
    write("hour-4-00.wav", "not a recording");
    rebuild();
  }

  void write(const std::string& name, const std::string& bytes) {
    testing::writeFile((dir() / name).string(), bytes);
  }
  std::filesystem::path dir() const { return folder.path().toStdString(); }

  // A fresh service over fresh fakes.
  void rebuild() {
    service.reset();
    auto ownedEngine = std::make_unique<FakeSynthesisEngine>();
    auto ownedSpeech = std::make_unique<FakeAudioOutput>();
    auto ownedClips = std::make_unique<FakeAudioOutput>();
    engine = ownedEngine.get();
    speechOut = ownedSpeech.get();
    clipOut = ownedClips.get();
    service = std::make_unique<AVSpeechService>(
        store, AVSpeechService::Dependencies{std::move(ownedEngine), std::move(ownedSpeech),
                                             std::move(ownedClips), ResourceLocator({dir()}),
                                             [] { return newYork; }});
  }

  void setPreferences(std::optional<std::string> voice,
                      std::string phraseTemplate = "It's {time}", bool enabled = true,
                      float rate = 0.5f) {
    Preferences p = store.preferences();
    p.voiceIdentifier = std::move(voice);
    p.phraseTemplate = std::move(phraseTemplate);
    p.speechEnabled = enabled;
    p.speechRate = rate;
    store.setPreferences(p);
  }

  SpeechService::Completion counter(int& count) {
    return [&count] { ++count; };
  }

  QTemporaryDir folder;
  InMemoryPreferencesStore store;
  FakeSynthesisEngine* engine = nullptr;
  FakeAudioOutput* speechOut = nullptr;
  FakeAudioOutput* clipOut = nullptr;
  std::unique_ptr<AVSpeechService> service;
  LogCapture log;
};

TEST_F(AVSpeechServiceTest, WithSpeechOffCompletesBeforeReturningAndSaysNothing) {
  setPreferences(BundledSpeech::voiceIdentifier, "It's {time}", false);
  int completions = 0;
  service->speak("It's three o'clock", at(15, 0), counter(completions));
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(engine->calls.empty());
  EXPECT_TRUE(clipOut->played.empty());
  EXPECT_TRUE(log.lines().empty());
  EXPECT_FALSE(service->isSpeaking());
  service->speak("no completion", at(15, 0), nullptr);  // absent completion is fine
}

TEST_F(AVSpeechServiceTest, RecordedClipOnlyForThePseudoVoiceDefaultTemplateAndAClipMoment) {
  struct Row {
    const char* name;
    std::optional<std::string> voice;
    std::string phraseTemplate;
    std::optional<Date> moment;
    bool clip;
    std::optional<std::string> synthVoice;
  };
  const Row rows[] = {
      {"full hour", "vorlane.bundled", "It's {time}", at(15, 0), true, std::nullopt},
      {"half past twelve", "vorlane.bundled", "It's {time}", at(12, 30), true, std::nullopt},
      {"custom template", "vorlane.bundled", "{time}!", at(15, 0), false, std::nullopt},
      {"no moment", "vorlane.bundled", "It's {time}", std::nullopt, false, std::nullopt},
      {"not a clip minute", "vorlane.bundled", "It's {time}", at(15, 7), false, std::nullopt},
      {"clip file missing", "vorlane.bundled", "It's {time}", at(17, 0), false, std::nullopt},
      {"a synthesiser voice", "flite:awb", "It's {time}", at(15, 0), false, "flite:awb"},
      {"no voice chosen", std::nullopt, "It's {time}", at(15, 0), false, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    setPreferences(row.voice, row.phraseTemplate);
    rebuild();
    service->speak("It's the time", row.moment, nullptr);
    EXPECT_EQ(clipOut->played.size(), row.clip ? 1u : 0u);
    ASSERT_EQ(engine->calls.size(), row.clip ? 0u : 1u);
    if (!row.clip) {
      EXPECT_EQ(engine->calls[0].text, "It's the time");
      EXPECT_EQ(engine->calls[0].voice, row.synthVoice);
    }
  }
}

TEST_F(AVSpeechServiceTest, TheConvenienceCallNeverUsesAClip) {
  setPreferences(BundledSpeech::voiceIdentifier);
  service->speak("It's three o'clock", nullptr);
  EXPECT_TRUE(clipOut->played.empty());
  EXPECT_EQ(engine->calls.size(), 1u);
}

TEST_F(AVSpeechServiceTest, AClipDucksLogsAndCompletesOnceWhenItEnds) {
  setPreferences(BundledSpeech::voiceIdentifier);
  int completions = 0;
  service->speak("It's three o'clock", at(15, 0), counter(completions));
  EXPECT_TRUE(service->isSpeaking());
  EXPECT_EQ(log.lines(),
            (Lines{duck(true), {LogLevel::info, "speech", "played bundled clip hour-3-00.wav"}}));

  clipOut->finishCurrent();
  EXPECT_EQ(completions, 1);
  EXPECT_FALSE(service->isSpeaking());
  EXPECT_EQ(log.lines().back(), duck(false));
}

TEST_F(AVSpeechServiceTest, AnUnreadableClipFallsBackToTheDefaultVoice) {
  setPreferences(BundledSpeech::voiceIdentifier);
  int completions = 0;
  service->speak("It's four o'clock", at(16, 0), counter(completions));
  EXPECT_EQ(log.lines(),
            (Lines{duck(true),
                   {LogLevel::error, "speech", "could not open bundled clip hour-4-00.wav"},
                   duck(false), speaking("It's four o'clock"), duck(true)}));
  ASSERT_EQ(engine->calls.size(), 1u);
  EXPECT_EQ(engine->calls[0].voice, std::nullopt);

  speechOut->finishCurrent();
  EXPECT_EQ(completions, 1);
}

TEST_F(AVSpeechServiceTest, AClipThatDoesNotStartFallsBackSilently) {
  setPreferences(BundledSpeech::voiceIdentifier);
  clipOut->startResult = false;
  int completions = 0;
  service->speak("It's three o'clock", at(15, 0), counter(completions));
  EXPECT_EQ(log.lines(), (Lines{duck(true), duck(false), speaking("It's three o'clock"), duck(true)}));
  speechOut->finishCurrent();
  EXPECT_EQ(completions, 1);
}

TEST_F(AVSpeechServiceTest, TheSynthesiserGetsTheChosenVoiceOrTheDefault) {
  struct Row {
    const char* name;
    std::optional<std::string> voice;
    std::optional<std::string> expected;
  };
  const Row rows[] = {
      {"installed voice", "flite:awb", "flite:awb"},
      {"voice not installed", "flite:nobody", std::nullopt},
      {"no voice", std::nullopt, std::nullopt},
      {"pseudo voice is never passed on", "vorlane.bundled", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    setPreferences(row.voice, "{time}", true, 0.8f);
    rebuild();
    service->speak("hello", at(15, 0), nullptr);
    ASSERT_EQ(engine->calls.size(), 1u);
    EXPECT_EQ(engine->calls[0].voice, row.expected);
    EXPECT_EQ(engine->calls[0].rate, 0.8f);
  }
}

TEST_F(AVSpeechServiceTest, AnUtteranceLogsDucksAndCompletesExactlyOnce) {
  int completions = 0;
  service->speak("Stretch your legs", std::nullopt, counter(completions));
  EXPECT_TRUE(service->isSpeaking());
  EXPECT_EQ(speechOut->played.size(), 1u);
  EXPECT_EQ(log.lines(), (Lines{speaking("Stretch your legs"), duck(true)}));
  EXPECT_EQ(completions, 0);

  speechOut->finishCurrent();
  EXPECT_EQ(completions, 1);
  EXPECT_FALSE(service->isSpeaking());
  EXPECT_EQ(log.lines().back(), duck(false));
  speechOut->finishAt(0);  // a repeated end report
  EXPECT_EQ(completions, 1);
}

// Regression: one completion slot let the first phrase's end complete the second phrase.
TEST_F(AVSpeechServiceTest, ANewPhraseCutsOffTheOldOneWhoseEndCannotCompleteTheNewOne) {
  int first = 0;
  int second = 0;
  service->speak("first", std::nullopt, counter(first));
  service->speak("second", std::nullopt, counter(second));
  EXPECT_GE(speechOut->stops, 2);  // the first phrase was cut off
  EXPECT_EQ(log.lines(), (Lines{speaking("first"), duck(true), duck(false), speaking("second"),
                                duck(true)}));

  speechOut->finishAt(0);  // the first phrase's end, arriving late
  EXPECT_EQ(second, 0);
  EXPECT_TRUE(service->isSpeaking());

  speechOut->finishAt(1);
  QCoreApplication::processEvents();
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
}

TEST_F(AVSpeechServiceTest, StopCompletesAPhraseOnceLaterAndNeverInsideStop) {
  int first = 0;
  int second = 0;
  service->speak("first", std::nullopt, counter(first));
  service->stop();
  EXPECT_EQ(first, 0);
  EXPECT_FALSE(service->isSpeaking());

  // A phrase started before the cancel arrives keeps its own completion.
  service->speak("second", std::nullopt, counter(second));
  QCoreApplication::processEvents();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
  EXPECT_TRUE(service->isSpeaking());

  speechOut->finishAt(0);
  speechOut->finishAt(1);
  QCoreApplication::processEvents();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
}

TEST_F(AVSpeechServiceTest, StopDuringAClipNeverCompletesIt) {
  setPreferences(BundledSpeech::voiceIdentifier);
  int completions = 0;
  service->speak("It's three o'clock", at(15, 0), counter(completions));
  service->stop();
  QCoreApplication::processEvents();
  clipOut->finishAt(0);
  EXPECT_EQ(completions, 0);
  EXPECT_FALSE(service->isSpeaking());
  EXPECT_EQ(log.lines().back(), duck(false));
}

TEST_F(AVSpeechServiceTest, WhenNothingCanBeHeardThePhraseStillEndsOnTheNextTurn) {
  struct Row {
    const char* name;
    std::function<void(FakeSynthesisEngine&, FakeAudioOutput&)> arrange;
    std::optional<LogCapture::Line> error;
  };
  const Row rows[] = {
      {"no audio device", [](FakeSynthesisEngine&, FakeAudioOutput& out) { out.startResult = false; },
       LogCapture::Line{LogLevel::error, "speech", "no audio output for speech"}},
      {"synthesis failed", [](FakeSynthesisEngine& e, FakeAudioOutput&) { e.result = std::nullopt; },
       LogCapture::Line{LogLevel::error, "speech", "speech synthesis failed"}},
      {"nothing to say",
       [](FakeSynthesisEngine& e, FakeAudioOutput&) { e.result = PcmBuffer{16000, 1, {}}; }, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    rebuild();
    row.arrange(*engine, *speechOut);
    LogCapture rowLog;
    int completions = 0;
    service->speak("hello", std::nullopt, counter(completions));
    EXPECT_EQ(completions, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(service->isSpeaking());
    EXPECT_TRUE(speechOut->played.empty());
    Lines expected{speaking("hello"), duck(true)};
    if (row.error) {
      expected.push_back(*row.error);
    }
    expected.push_back(duck(false));
    EXPECT_EQ(rowLog.lines(), expected);
  }
}

TEST_F(AVSpeechServiceTest, SettingsAreReadAfreshOnEveryCall) {
  setPreferences("flite:awb");
  service->speak("one", std::nullopt, nullptr);
  setPreferences("flite:slt", "It's {time}", true, 0.25f);
  service->speak("two", std::nullopt, nullptr);
  ASSERT_EQ(engine->calls.size(), 2u);
  EXPECT_EQ(engine->calls[1].voice, "flite:slt");
  EXPECT_EQ(engine->calls[1].rate, 0.25f);
}

TEST_F(AVSpeechServiceTest, AvailableVoicesAreTheEnglishOnesSortedStablyByName) {
  engine->installed = {
      {"z", "Zed", "en-US"}, {"d", "Dieter", "de-DE"}, {"b1", "Bob", "en-GB"},
      {"u", "Upper", "EN-us"}, {"a", "amy", "en-AU"}, {"b2", "Bob", "en"},
      {"e", "\xc3\x89mile", "en-CA"}, {"x", "Xeno", "fr-en"},
  };
  std::vector<std::string> ids;
  for (const SpeechVoice& v : service->availableVoices()) {
    ids.push_back(v.identifier);
  }
  // Code-point order: upper case before lower case before accented letters.
  EXPECT_EQ(ids, (std::vector<std::string>{"b1", "b2", "z", "a", "e"}));

  engine->installed = {{"d", "Dieter", "de-DE"}};
  EXPECT_TRUE(service->availableVoices().empty());
}

}  // namespace
}  // namespace vorlane
