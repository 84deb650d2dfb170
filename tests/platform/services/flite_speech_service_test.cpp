#include "platform/services/flite_speech_service.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>

#include "tests/platform/services/speech_fakes.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/log_capture.h"

// Which thread frees the blocks a test watches, seen through the program's own operator
// delete: each watched block's first free records its thread.
namespace freed {
constexpr int capacity = 32;
std::atomic<const void*> watched[capacity];
std::atomic<int> count = 0;
std::thread::id by[capacity];
std::atomic<bool> done[capacity];
void note(const void* block) {
  for (int i = 0, n = count.load(); i < n; ++i) {
    const void* expected = block;
    if (block != nullptr && watched[i].compare_exchange_strong(expected, nullptr)) {
      by[i] = std::this_thread::get_id();
      done[i] = true;
    }
  }
}
// From a single thread (the synthesis thread); false once all are taken.
bool watch(const void* block) {
  const int i = count.load();
  if (i == capacity) return false;
  done[i] = false;
  watched[i] = block;
  count = i + 1;
  return true;
}
}  // namespace freed

void operator delete(void* block) noexcept {
  freed::note(block);
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  freed::note(block);
  std::free(block);
}

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
  // A call still waiting at the engine's gate would hold up the synthesis thread's end.
  void TearDown() override { engine->allow(1 << 20); }
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

// Each check speaks a marker phrase once the quiet time has passed since the moment checked
// (from a timer started after that moment, which fires after one started before it and
// before one started later, even when both are late), and reads how often the voices had
// been given back when the engine took the marker: the synthesis thread works in order.
TEST_F(FliteSpeechServiceTest, TheVoicesAreGivenBackOnceSynthesisHasBeenQuietAWhile) {
  const auto markerAfterQuietTime = [this](const char* marker) {
    bool spoken = false;
    QTimer::singleShot(600, Qt::PreciseTimer, [&] {
      choose(std::nullopt);
      service.speak(marker, std::nullopt, nullptr);
      spoken = true;
    });
    return QTest::qWaitFor([&] { return spoken; }, 10000);
  };
  choose(std::nullopt);
  service.speak("one", std::nullopt, nullptr);
  ASSERT_TRUE(heard(1));
  ASSERT_TRUE(QTest::qWaitFor([&] { return speechOut->closed.back(); }, 5000));
  speechOut->finishCurrent();
  // A phrase inside the quiet time starts it again.
  service.speak("two", std::nullopt, nullptr);
  ASSERT_TRUE(markerAfterQuietTime("marker"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return engine->releases == 1; }, 5000));
  ASSERT_EQ(engine->calls.size(), 3u);
  EXPECT_EQ(engine->calls[2].releasesBefore, 0)
      << "given back during the second phrase's quiet time";
  // Recordings need no voice.
  choose(bundled);
  service.speak("It's three o'clock", at(15, 0), nullptr);
  ASSERT_EQ(clipOut->played.size(), 1u);
  ASSERT_TRUE(markerAfterQuietTime("second marker"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return engine->releases == 2; }, 5000));
  ASSERT_EQ(engine->calls.size(), 4u) << "the recording was made by the synthesiser";
  EXPECT_EQ(engine->calls[3].releasesBefore, 1) << "a recording gave the voices back again";
}

// Regression: a typed reminder of thousands of characters was made into sound inside
// `speak`, freezing the interface for half a minute before the visit could go on.
TEST_F(FliteSpeechServiceTest, ALongTextIsMadeOffTheMainThreadAndPlayedPieceByPieceAsItComes) {
  choose(std::nullopt);
  engine->gated = true;
  std::string text;
  for (int i = 0; i < 12; ++i) text += "Sentence number " + std::to_string(i) + ". ";
  int completions = 0;
  service.speak(text, std::nullopt, counter(completions));
  EXPECT_EQ(engine->callCount.load(), 0) << "speak waited for the synthesis";
  EXPECT_TRUE(speechOut->played.empty());
  // Let through one piece at a time: each is handed to the output before the next is made.
  for (std::size_t made = 1; made <= 12; ++made) {
    engine->allow();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          return !speechOut->played.empty() &&
                 speechOut->played.back().samples.size() == made * 1600u;
        },
        5000))
        << "piece " << made;
    EXPECT_EQ(engine->callCount.load(), int(made)) << "piece " << made;
    EXPECT_EQ(speechOut->closed.back(), made == 12) << "piece " << made;
  }
  ASSERT_EQ(engine->calls.size(), 12u);
  for (std::size_t i = 0; i < engine->calls.size(); ++i) {
    EXPECT_EQ(engine->calls[i].text, "Sentence number " + std::to_string(i) + ".");
    EXPECT_NE(engine->threads[i], std::this_thread::get_id());
  }
  EXPECT_EQ(speechOut->played.size(), 1u) << "one sound for the whole text";
  EXPECT_EQ(completions, 0);
  speechOut->finishCurrent();
  EXPECT_EQ(completions, 1);
}

// Regression: the main thread freed each piece's sound, made on the synthesis thread, and so
// waited for that thread's allocator lock, which it holds while it makes the next piece: on
// a loaded machine the interface stalled for tens of milliseconds now and then.
TEST_F(FliteSpeechServiceTest, EachPiecesSoundIsFreedOnTheThreadThatMadeIt) {
  choose(std::nullopt);
  std::atomic<int> unwatched = 0;
  engine->made = [&](const PcmBuffer& sound) {
    if (!freed::watch(sound.samples.data())) ++unwatched;
  };
  service.speak("One. Two. Three. Four.", std::nullopt, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return heard(1) && speechOut->closed.back(); }, 5000));
  speechOut->finishCurrent();
  // The voices go back after what was handed back has been freed, on the same thread.
  ASSERT_TRUE(QTest::qWaitFor([&] { return engine->releases == 1; }, 5000));
  EXPECT_EQ(speechOut->played.back().samples.size(), 4 * 1600u);
  ASSERT_EQ(freed::count.load(), 4);
  EXPECT_EQ(unwatched.load(), 0);
  for (int i = 0; i < freed::count.load(); ++i) {
    ASSERT_TRUE(freed::done[i]) << "piece " << i << " was never freed";
    EXPECT_NE(freed::by[i], std::this_thread::get_id()) << "piece " << i;
    EXPECT_EQ(freed::by[i], engine->threads[std::size_t(i)]) << "piece " << i;
  }
  freed::count = 0;
}

TEST_F(FliteSpeechServiceTest, StopEndsTheSynthesisUnderWayAndItsSoundAtOnce) {
  choose(std::nullopt);
  engine->gated = true;
  std::string text;
  for (int i = 0; i < 40; ++i) text += "Word " + std::to_string(i) + ". ";
  int completions = 0;
  service.speak(text, std::nullopt, counter(completions));
  engine->allow(2);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return !speechOut->played.empty() && speechOut->played.back().samples.size() == 2 * 1600u;
      },
      5000));
  service.stop();  // the third piece waits at the gate
  EXPECT_FALSE(speechOut->isPlaying());
  engine->allow(40);
  // The voices go back after the quiet time, which comes after the cut-off text's last piece
  // on the synthesis thread; whatever that piece posted is then waiting to be delivered.
  ASSERT_TRUE(QTest::qWaitFor([&] { return engine->releases == 1; }, 5000));
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(engine->callCount.load(), 3) << "the rest of the text was still being made";
  EXPECT_EQ(speechOut->played.back().samples.size(), 2 * 1600u);
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
