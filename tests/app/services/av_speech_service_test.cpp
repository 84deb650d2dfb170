#include "app/services/av_speech_service.h"

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
using Line = LogCapture::Line;
using Lines = std::vector<Line>;

const Calendar newYork("America/New_York");
Date at(int hour, int minute) { return *newYork.date(2026, 3, 10, hour, minute); }

Line duck(bool on) {
  return {LogLevel::debug, "speech", on ? "ducking other audio: true" : "ducking other audio: false"};
}
Line speaking(const std::string& text) { return {LogLevel::info, "speech", "speaking: " + text}; }

class AVSpeechServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    const std::string clip = testing::wavFile({16000, 1, {100, -100, 200, -200}});
    testing::writeFile(folder.filePath("hour-3-00.wav").toStdString(), clip);
    testing::writeFile(folder.filePath("hour-0-30.wav").toStdString(), clip);
    testing::writeFile(folder.filePath("hour-4-00.wav").toStdString(), "not a recording");
    auto ownedEngine = std::make_unique<FakeSynthesisEngine>();
    auto ownedSpeech = std::make_unique<FakeAudioOutput>();
    auto ownedClips = std::make_unique<FakeAudioOutput>();
    engine = ownedEngine.get();
    speechOut = ownedSpeech.get();
    clipOut = ownedClips.get();
    service = std::make_unique<AVSpeechService>(
        store, AVSpeechService::Dependencies{
                   std::move(ownedEngine), std::move(ownedSpeech), std::move(ownedClips),
                   ResourceLocator({folder.path().toStdString()}), [] { return newYork; }});
  }

  void choose(std::optional<std::string> voice, std::string phraseTemplate = "It's {time}",
              bool enabled = true, float rate = 0.5f) {
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
  choose(BundledSpeech::voiceIdentifier, "It's {time}", false);
  int completions = 0;
  service->speak("It's three o'clock", at(15, 0), counter(completions));
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(engine->calls.empty());
  EXPECT_TRUE(clipOut->played.empty());
  EXPECT_TRUE(log.lines().empty());
  EXPECT_FALSE(service->isSpeaking());
}

// One service for all rows: the settings must be read afresh on every call.
TEST_F(AVSpeechServiceTest, PicksAClipOrTheSynthesiserVoiceFromTheSettingsOfEachCall) {
  struct Row {
    const char* name;
    std::optional<std::string> voice;
    std::string phraseTemplate;
    std::optional<Date> moment;
    bool clip;
    std::optional<std::string> synthVoice;
  };
  const Row rows[] = {
      {"recordings at a full hour", "vorlane.bundled", "It's {time}", at(15, 0), true, {}},
      {"recordings at half past twelve", "vorlane.bundled", "It's {time}", at(12, 30), true, {}},
      {"custom template", "vorlane.bundled", "{time}!", at(15, 0), false, {}},
      {"no moment", "vorlane.bundled", "It's {time}", std::nullopt, false, {}},
      {"not a clip minute", "vorlane.bundled", "It's {time}", at(15, 7), false, {}},
      {"clip file missing", "vorlane.bundled", "It's {time}", at(17, 0), false, {}},
      {"installed voice", "flite:awb", "It's {time}", at(15, 0), false, "flite:awb"},
      {"voice not installed", "flite:nobody", "It's {time}", at(15, 0), false, {}},
      {"no voice chosen", std::nullopt, "It's {time}", at(15, 0), false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    choose(row.voice, row.phraseTemplate, true, 0.8f);
    const std::size_t clipsBefore = clipOut->played.size();
    const std::size_t callsBefore = engine->calls.size();
    service->speak("It's the time", row.moment, nullptr);
    EXPECT_EQ(clipOut->played.size() - clipsBefore, row.clip ? 1u : 0u);
    ASSERT_EQ(engine->calls.size() - callsBefore, row.clip ? 0u : 1u);
    if (!row.clip) {
      EXPECT_EQ(engine->calls.back().voice, row.synthVoice);
      EXPECT_EQ(engine->calls.back().rate, 0.8f);
    }
  }
}

TEST_F(AVSpeechServiceTest, AClipDucksLogsAndCompletesOnceWhenItEnds) {
  choose(BundledSpeech::voiceIdentifier);
  int completions = 0;
  service->speak("It's three o'clock", at(15, 0), counter(completions));
  EXPECT_TRUE(service->isSpeaking());
  EXPECT_EQ(log.lines(), (Lines{duck(true), {LogLevel::info, "speech", "played bundled clip hour-3-00.wav"}}));
  clipOut->finishCurrent();
  EXPECT_EQ(completions, 1);
  EXPECT_FALSE(service->isSpeaking());
  EXPECT_EQ(log.lines().back(), duck(false));
}

TEST_F(AVSpeechServiceTest, AClipThatFailsHandsThePhraseToTheDefaultVoice) {
  struct Row {
    const char* name;
    Date moment;
    bool outputStarts;
    Lines expected;
  };
  const Row rows[] = {
      {"unreadable file", at(16, 0), true,
       {duck(true), {LogLevel::error, "speech", "could not open bundled clip hour-4-00.wav"},
        duck(false), speaking("It's the time"), duck(true)}},
      {"playback does not start", at(15, 0), false,
       {duck(true), duck(false), speaking("It's the time"), duck(true)}},
  };
  choose(BundledSpeech::voiceIdentifier);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    LogCapture rowLog;
    clipOut->startResult = row.outputStarts;
    int completions = 0;
    service->speak("It's the time", row.moment, counter(completions));
    EXPECT_EQ(rowLog.lines(), row.expected);
    EXPECT_EQ(engine->calls.back().voice, std::nullopt);
    speechOut->finishCurrent();
    EXPECT_EQ(completions, 1);
  }
}

TEST_F(AVSpeechServiceTest, AnUtteranceLogsDucksAndCompletesExactlyOnce) {
  int completions = 0;
  service->speak("Stretch your legs", std::nullopt, counter(completions));
  EXPECT_TRUE(service->isSpeaking());
  EXPECT_EQ(log.lines(), (Lines{speaking("Stretch your legs"), duck(true)}));
  EXPECT_EQ(completions, 0);
  speechOut->finishCurrent();
  speechOut->finishAt(0);  // a repeated end report
  EXPECT_EQ(completions, 1);
  EXPECT_FALSE(service->isSpeaking());
  EXPECT_EQ(log.lines().back(), duck(false));
}

// Regression: with one completion slot, the first phrase's end completed the second phrase.
TEST_F(AVSpeechServiceTest, ANewPhraseCutsOffTheOldOneWhoseEndCannotCompleteTheNewOne) {
  int first = 0;
  int second = 0;
  service->speak("first", std::nullopt, counter(first));
  service->speak("second", std::nullopt, counter(second));
  EXPECT_EQ(log.lines(), (Lines{speaking("first"), duck(true), duck(false), speaking("second"), duck(true)}));
  speechOut->finishAt(0);  // the first phrase's end, arriving late
  EXPECT_EQ(second, 0);
  EXPECT_TRUE(service->isSpeaking());
  speechOut->finishAt(1);
  QCoreApplication::processEvents();
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
}

TEST_F(AVSpeechServiceTest, StopCompletesAPhraseOnceLaterButNeverAClip) {
  int phrase = 0;
  int next = 0;
  service->speak("first", std::nullopt, counter(phrase));
  service->stop();
  EXPECT_EQ(phrase, 0);  // never inside stop()
  EXPECT_FALSE(service->isSpeaking());
  // A phrase started before the cancel arrives keeps its own completion.
  service->speak("second", std::nullopt, counter(next));
  QCoreApplication::processEvents();
  EXPECT_EQ(phrase, 1);
  EXPECT_EQ(next, 0);
  speechOut->finishAt(0);
  speechOut->finishAt(1);
  EXPECT_EQ(phrase, 1);
  EXPECT_EQ(next, 1);

  choose(BundledSpeech::voiceIdentifier);
  int clip = 0;
  service->speak("It's three o'clock", at(15, 0), counter(clip));
  service->stop();
  QCoreApplication::processEvents();
  clipOut->finishAt(0);
  EXPECT_EQ(clip, 0);
  EXPECT_FALSE(service->isSpeaking());
  EXPECT_EQ(log.lines().back(), duck(false));
}

TEST_F(AVSpeechServiceTest, WhenNothingCanBeHeardThePhraseStillEndsOnTheNextTurn) {
  struct Row {
    const char* name;
    bool outputStarts;
    std::optional<PcmBuffer> sound;
    std::optional<Line> error;
  };
  const Row rows[] = {
      {"no audio device", false, PcmBuffer{16000, 1, {1, 2, 3}},
       Line{LogLevel::error, "speech", "no audio output for speech"}},
      {"synthesis failed", true, std::nullopt, Line{LogLevel::error, "speech", "speech synthesis failed"}},
      {"nothing to say", true, PcmBuffer{16000, 1, {}}, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    speechOut->startResult = row.outputStarts;
    engine->result = row.sound;
    LogCapture rowLog;
    int completions = 0;
    service->speak("hello", std::nullopt, counter(completions));
    EXPECT_EQ(completions, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(service->isSpeaking());
    Lines expected{speaking("hello"), duck(true)};
    if (row.error) {
      expected.push_back(*row.error);
    }
    expected.push_back(duck(false));
    EXPECT_EQ(rowLog.lines(), expected);
  }
  EXPECT_TRUE(speechOut->played.empty());
}

TEST_F(AVSpeechServiceTest, AvailableVoicesAreTheEnglishOnesSortedStablyByName) {
  engine->installed = {
      {"z", "Zed", "en-US"}, {"d", "Dieter", "de-DE"}, {"b1", "Bob", "en-GB"}, {"u", "Upper", "EN-us"},
      {"a", "amy", "en-AU"}, {"b2", "Bob", "en"},     {"e", "\xc3\x89mile", "en-CA"}, {"x", "Xeno", "fr-en"},
  };
  std::vector<std::string> ids;
  for (const SpeechVoice& v : service->availableVoices()) {
    ids.push_back(v.identifier);
  }
  // Code-point order: upper case, then lower case, then accented letters.
  EXPECT_EQ(ids, (std::vector<std::string>{"b1", "b2", "z", "a", "e"}));
  engine->installed = {{"d", "Dieter", "de-DE"}};
  EXPECT_TRUE(service->availableVoices().empty());
}

}  // namespace
}  // namespace vorlane
