#include "platform/services/flite_speech_service.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <thread>

#include "tests/support/log_capture.h"
#include "tests/platform/services/speech_fakes.h"
#include "tests/support/in_memory_preferences_store.h"

namespace vorlane {
namespace {

using Line = LogCapture::Line;
using Lines = std::vector<Line>;

const Calendar newYork("America/New_York");
Date at(int hour, int minute) { return *newYork.date(2026, 3, 10, hour, minute); }
Line duck(bool on) {
  return {LogLevel::debug, "speech",
          std::string("ducking other audio: ") + (on ? "true" : "false")};
}
Line speaking(const std::string& text) { return {LogLevel::info, "speech", "speaking: " + text}; }
const std::string bundled = BundledSpeech::voiceIdentifier;

struct FliteSpeechServiceTest : ::testing::Test {
  void SetUp() override {
    for (const char* name : {"hour-3-00.wav", "hour-0-30.wav"}) {
      testing::writeFile(folder / name, testing::wavFile({16000, 1, {100, -100}}));
    }
    testing::writeFile(folder / "hour-4-00.wav", "not a recording");
  }
  void choose(std::optional<std::string> voice, std::string phraseTemplate = "It's {time}",
              bool enabled = true) {
    Preferences p = store.preferences();
    p.voiceIdentifier = std::move(voice);
    p.phraseTemplate = std::move(phraseTemplate);
    p.speechEnabled = enabled;
    p.speechRate = 0.8f;
    store.setPreferences(p);
  }
  static SpeechService::Completion counter(int& count) {
    return [&count] { ++count; };
  }
  // Synthesis runs on its own thread: waits until the output has been handed `count` sounds.
  bool heard(std::size_t count) {
    return QTest::qWaitFor([&] { return speechOut->played.size() >= count; }, 5000);
  }

  testing::TempFolder folder;
  InMemoryPreferencesStore store;
  LogCapture log;
  testing::FakeSynthesisEngine* engine = new testing::FakeSynthesisEngine;
  testing::FakeAudioOutput* speechOut = new testing::FakeAudioOutput;
  testing::FakeAudioOutput* clipOut = new testing::FakeAudioOutput;
  FliteSpeechService service{
      store,
      {std::unique_ptr<SynthesisEngine>(engine), std::unique_ptr<AudioOutput>(speechOut),
       std::unique_ptr<AudioOutput>(clipOut), ResourceLocator({folder.path()}),
       [] { return newYork; }, 600}};
};

// One service for all rows: the settings must be read afresh on every call.
TEST_F(FliteSpeechServiceTest, PicksAClipOrTheSynthesiserVoiceFromTheSettingsOfEachCall) {
  struct Row {
    const char* name;
    std::optional<std::string> voice;
    std::string phraseTemplate;
    std::optional<Date> moment;
    bool clip;
    std::optional<std::string> synthVoice;
  };
  const Row rows[] = {
      {"recordings at half past twelve", bundled, "It's {time}", at(12, 30), true, {}},
      {"custom template", bundled, "{time}!", at(15, 0), false, {}},
      {"no moment", bundled, "It's {time}", std::nullopt, false, {}},
      {"clip file missing", bundled, "It's {time}", at(17, 0), false, {}},
      {"installed voice", "flite:awb", "It's {time}", at(15, 0), false, "flite:awb"},
      {"voice not installed", "flite:nobody", "It's {time}", at(15, 0), false, {}},
  };
  for (const Row& row : rows) {
    choose(row.voice, row.phraseTemplate);
    const std::size_t clipsBefore = clipOut->played.size();
    const std::size_t callsBefore = engine->calls.size();
    const std::size_t heardBefore = speechOut->played.size();
    service.speak("It's the time", row.moment, nullptr);
    EXPECT_EQ(clipOut->played.size() - clipsBefore, row.clip ? 1u : 0u) << row.name;
    if (row.clip) {
      EXPECT_EQ(engine->calls.size(), callsBefore) << row.name;
      continue;
    }
    ASSERT_TRUE(heard(heardBefore + 1)) << row.name;
    ASSERT_EQ(engine->calls.size() - callsBefore, 1u) << row.name;
    EXPECT_EQ(engine->calls.back().voice, row.synthVoice) << row.name;
    EXPECT_EQ(engine->calls.back().rate, 0.8f) << row.name;
  }
}

TEST_F(FliteSpeechServiceTest, AClipThatFailsHandsThePhraseToTheDefaultVoice) {
  choose(bundled);
  std::size_t phrases = 0;
  for (const bool fileUnreadable : {true, false}) {  // else the output refuses the clip
    LogCapture rowLog;
    clipOut->startResult = fileUnreadable;
    int completions = 0;
    service.speak("It's the time", at(fileUnreadable ? 16 : 15, 0), counter(completions));
    ASSERT_TRUE(heard(++phrases));
    Lines expected{duck(true), duck(false), speaking("It's the time"), duck(true)};
    if (fileUnreadable) {
      expected.insert(expected.begin() + 1,
                      {LogLevel::error, "speech", "could not open bundled clip hour-4-00.wav"});
    }
    EXPECT_EQ(rowLog.lines(), expected);
    EXPECT_EQ(engine->calls.back().voice, std::nullopt);
    speechOut->finishCurrent();
    EXPECT_EQ(completions, 1);
  }
}

// Regression: with one completion slot, the first phrase's end completed the second phrase.
TEST_F(FliteSpeechServiceTest, ANewPhraseCutsOffTheOldOneWhoseEndCannotCompleteTheNewOne) {
  int first = 0, second = 0;
  service.speak("first", std::nullopt, counter(first));
  EXPECT_TRUE(service.isSpeaking());
  ASSERT_TRUE(heard(1));
  service.speak("second", std::nullopt, counter(second));
  ASSERT_TRUE(heard(2));
  EXPECT_EQ(log.lines(),
            (Lines{speaking("first"), duck(true), duck(false), speaking("second"), duck(true)}));
  speechOut->finishAt(0);  // the first phrase's end, arriving late
  EXPECT_EQ(second, 0);
  EXPECT_TRUE(service.isSpeaking());
  speechOut->finishAt(1);
  speechOut->finishAt(1);  // a repeated end report
  QCoreApplication::processEvents();
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
  EXPECT_FALSE(service.isSpeaking());
  EXPECT_EQ(log.lines().back(), duck(false));
}

TEST_F(FliteSpeechServiceTest, StopCompletesAPhraseOnceLaterButNeverAClip) {
  int phrase = 0, next = 0, clip = 0, nextClip = 0;
  service.speak("first", std::nullopt, counter(phrase));
  ASSERT_TRUE(heard(1));
  service.stop();
  EXPECT_EQ(phrase, 0);  // never inside stop()
  EXPECT_FALSE(service.isSpeaking());
  EXPECT_FALSE(speechOut->isPlaying());
  service.speak("second", std::nullopt, counter(next));  // started before the cancel arrives
  QCoreApplication::processEvents();
  EXPECT_EQ(phrase, 1);
  EXPECT_EQ(next, 0);
  ASSERT_TRUE(heard(2));
  speechOut->finishAt(0);
  speechOut->finishAt(1);
  EXPECT_EQ(phrase, 1);
  EXPECT_EQ(next, 1);

  // A clip cut off by the next one, or by stop, never completes either.
  choose(bundled);
  LogCapture clipLog;
  service.speak("It's three o'clock", at(15, 0), counter(clip));
  EXPECT_EQ(clipLog.lines(),
            (Lines{duck(true), {LogLevel::info, "speech", "played bundled clip hour-3-00.wav"}}));
  service.speak("It's half past twelve", at(12, 30), counter(nextClip));
  clipOut->finishAt(0);  // the first clip's late end
  EXPECT_TRUE(service.isSpeaking());
  service.stop();
  QCoreApplication::processEvents();
  clipOut->finishAt(1);
  EXPECT_EQ(clip + nextClip, 0);
  EXPECT_FALSE(service.isSpeaking());
  EXPECT_EQ(log.lines().back(), duck(false));
}

TEST_F(FliteSpeechServiceTest, SpeechOffCompletesAtOnceAndVoicesAreEnglishSortedByName) {
  choose(std::nullopt, "It's {time}", false);
  int completions = 0;
  service.speak("hello", std::nullopt, counter(completions));
  EXPECT_EQ(completions, 1) << "before speak returns";
  EXPECT_TRUE(engine->calls.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(completions, 1);

  // Language prefix "en" exactly (case-sensitive); equal names keep the engine's order.
  engine->installed = {{"v1", "kal", "en-US"}, {"v2", "Zed", "de-DE"}, {"v3", "awb", "en-GB"},
                       {"v4", "Kal", "EN-US"}, {"v5", "kal", "en"},    {"v6", "Bob", "eng"}};
  std::vector<std::string> ids;
  for (const SpeechVoice& voice : service.availableVoices()) ids.push_back(voice.identifier);
  EXPECT_EQ(ids, (std::vector<std::string>{"v6", "v3", "v1", "v5"}));

  // The recorded voice is there when the midnight clip is found.
  // The service offers the same list, and looks for the clips in its own folders.
  const VoiceCatalogue& catalogue = service;
  EXPECT_EQ(catalogue.availableVoices(), service.availableVoices());
  EXPECT_FALSE(BundledSpeech::isAvailable(ResourceLocator({folder.path()})));
  EXPECT_FALSE(catalogue.hasRecordedClips());
  testing::writeFile(folder / "hour-0-00.wav", testing::wavFile({16000, 1, {1}}));
  EXPECT_TRUE(BundledSpeech::isAvailable(ResourceLocator({folder.path()})));
  EXPECT_TRUE(catalogue.hasRecordedClips());
}

TEST_F(FliteSpeechServiceTest, WhenNothingCanBeHeardThePhraseStillEndsOnTheNextTurn) {
  const std::tuple<bool, std::optional<PcmBuffer>, std::optional<std::string>> rows[] = {
      {false, PcmBuffer{16000, 1, {1, 2, 3}}, "no audio output for speech"},
      {true, std::nullopt, "speech synthesis failed"},
      {true, PcmBuffer{16000, 1, {}}, {}},
  };
  for (const auto& [outputStarts, sound, error] : rows) {
    speechOut->startResult = outputStarts;
    engine->result = sound;
    LogCapture rowLog;
    int completions = 0;
    service.speak("hello", std::nullopt, counter(completions));
    EXPECT_EQ(completions, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions > 0; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(service.isSpeaking());
    Lines expected{speaking("hello"), duck(true)};
    if (error) expected.push_back({LogLevel::error, "speech", *error});
    expected.push_back(duck(false));
    EXPECT_EQ(rowLog.lines(), expected) << error.value_or("nothing to say");
  }
  EXPECT_TRUE(speechOut->played.empty());
}

TEST_F(FliteSpeechServiceTest, TheVoicesAreGivenBackOnceSynthesisHasBeenQuietAWhile) {
  choose(std::nullopt);
  service.speak("one", std::nullopt, nullptr);
  ASSERT_TRUE(heard(1));
  QTest::qWait(400);
  speechOut->finishCurrent();
  // A phrase inside the quiet period starts it again.
  service.speak("two", std::nullopt, nullptr);
  QTest::qWait(300);
  EXPECT_EQ(engine->releases, 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return engine->releases == 1; }, 2000));
  // Recordings need no voice.
  choose(bundled);
  service.speak("It's three o'clock", at(15, 0), nullptr);
  QTest::qWait(800);
  EXPECT_EQ(engine->releases, 1);
  EXPECT_EQ(engine->calls.size(), 2u);
}

// Regression: a typed reminder of thousands of characters was made into sound inside
// `speak`, freezing the interface for half a minute before the visit could go on.
TEST_F(FliteSpeechServiceTest, ALongTextIsMadeOffTheMainThreadAndPlayedPieceByPieceAsItComes) {
  choose(std::nullopt);
  engine->delayMs = 30;
  std::string text;
  for (int i = 0; i < 12; ++i) text += "Sentence number " + std::to_string(i) + ". ";
  int completions = 0;
  QElapsedTimer clock;
  clock.start();
  service.speak(text, std::nullopt, counter(completions));
  EXPECT_LT(clock.elapsed(), 30) << "speak waited for the synthesis";
  ASSERT_TRUE(heard(1));
  EXPECT_FALSE(speechOut->closed.back()) << "the sound began before the text was all made";
  ASSERT_TRUE(QTest::qWaitFor([&] { return speechOut->closed.back(); }, 5000));
  ASSERT_EQ(engine->calls.size(), 12u);
  for (std::size_t i = 0; i < engine->calls.size(); ++i) {
    EXPECT_EQ(engine->calls[i].text, "Sentence number " + std::to_string(i) + ".");
    EXPECT_NE(engine->threads[i], std::this_thread::get_id());
  }
  EXPECT_EQ(speechOut->played.size(), 1u) << "one sound for the whole text";
  EXPECT_EQ(speechOut->played.back().samples.size(), 12u * 1600u);
  EXPECT_EQ(completions, 0);
  speechOut->finishCurrent();
  EXPECT_EQ(completions, 1);
}

TEST_F(FliteSpeechServiceTest, StopEndsTheSynthesisUnderWayAndItsSoundAtOnce) {
  choose(std::nullopt);
  engine->delayMs = 40;
  std::string text;
  for (int i = 0; i < 40; ++i) text += "Word " + std::to_string(i) + ". ";
  int completions = 0;
  service.speak(text, std::nullopt, counter(completions));
  ASSERT_TRUE(heard(1));
  service.stop();
  EXPECT_FALSE(speechOut->isPlaying());
  const std::size_t writtenAtStop = speechOut->played.back().samples.size();
  QTest::qWait(300);
  EXPECT_LE(engine->callCount.load(), 4) << "the rest of the text was still being made";
  EXPECT_EQ(speechOut->played.back().samples.size(), writtenAtStop);
  EXPECT_FALSE(speechOut->closed.back());
  EXPECT_EQ(completions, 1);  // as a cancel
  EXPECT_FALSE(service.isSpeaking());
}

TEST_F(FliteSpeechServiceTest, NoOutputIsAnErrorOnceThenDebugUntilASoundIsHeardAgain) {
  choose(std::nullopt);
  const Line error{LogLevel::error, "speech", "no audio output for speech"};
  const Line debug{LogLevel::debug, "speech", "no audio output for speech"};
  enum class Way { refused, unheard, heard };
  const std::pair<Way, std::optional<Line>> rows[] = {
      {Way::refused, error}, {Way::refused, debug}, {Way::unheard, debug},
      {Way::heard, {}},      {Way::unheard, error}, {Way::refused, debug},
  };
  std::size_t opened = 0;
  for (const auto& [way, expected] : rows) {
    LogCapture rowLog;
    speechOut->startResult = way != Way::refused;
    int completions = 0;
    service.speak("hello", std::nullopt, counter(completions));
    if (way == Way::refused) {
      ASSERT_TRUE(QTest::qWaitFor([&] { return completions > 0; }, 5000));
    } else {
      ASSERT_TRUE(heard(++opened));
      ASSERT_TRUE(QTest::qWaitFor([&] { return speechOut->closed.back(); }, 5000));
      speechOut->finishCurrent(way == Way::heard ? AudioOutput::End::played
                                                 : AudioOutput::End::noOutput);
    }
    EXPECT_EQ(completions, 1);
    std::vector<Line> said;
    for (const Line& line : rowLog.lines()) {
      if (line.message == error.message) said.push_back(line);
    }
    EXPECT_EQ(said, expected ? Lines{*expected} : Lines{});
  }
  // A recording that finds no output counts the same.
  choose(bundled);
  LogCapture clipLog;
  int clip = 0;
  service.speak("It's three o'clock", at(15, 0), counter(clip));
  clipOut->finishCurrent(AudioOutput::End::noOutput);
  EXPECT_EQ(clip, 1);
  EXPECT_EQ(std::ranges::count(clipLog.lines(), debug), 1);
}

}  // namespace
}  // namespace vorlane
