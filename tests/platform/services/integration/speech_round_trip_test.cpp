// The speech service with libflite and the audio player (QAudioSink in a child process),
// against a sound server of the test's own and against none at all. Each test runs in its own
// process: the sound server must be chosen before the process first asks for an audio device.

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QMediaDevices>
#include <QProcess>
#include <QTest>
#include <set>

#include "platform/services/flite_engine.h"
#include "platform/services/flite_speech_service.h"
#include "platform/services/process_audio_output.h"
#include "tests/support/event_loop_marker.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/log_capture.h"
#include "tests/support/null_sink_server.h"
#include "tests/support/process_probe.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;

const Calendar newYork("America/New_York");
const Date threeOClock = *newYork.date(2026, 3, 10, 15, 0);
const LogCapture::Line playedClip{LogLevel::info, "speech", "played bundled clip hour-3-00.wav"};

// The sound server of the test's own; ready once the process's default device is its sink.
class NullSinkServer : public testing::NullSinkServer {
 public:
  bool ready() const { return listening() && !QMediaDevices::defaultAudioOutput().isNull(); }
};

std::unique_ptr<FliteSpeechService> realService(PreferencesStore& store, bool recordings = false) {
  Preferences p = store.preferences();
  if (recordings) p.voiceIdentifier = BundledSpeech::voiceIdentifier;
  store.setPreferences(p);
  return std::make_unique<FliteSpeechService>(
      store, FliteSpeechService::Dependencies{
                 std::make_unique<FliteEngine>(),
                 std::make_unique<ProcessAudioOutput>(VORLANE_AUDIO_PLAYER),
                 std::make_unique<ProcessAudioOutput>(VORLANE_AUDIO_PLAYER),
                 ResourceLocator({VORLANE_SOUNDS_BUILD_DIR}), [] { return newYork; }});
}

bool hasLine(const LogCapture& log, const LogCapture::Line& line) {
  return std::ranges::count(log.lines(), line) > 0;
}

TEST(SpeechRoundTrip, PhrasesAndClipsPlayThroughASoundServerAndCompleteOnce) {
  NullSinkServer pulse;
  ASSERT_TRUE(pulse.ready()) << "pulseaudio did not start, or audio was reached before it ran";
  const std::set<pid_t> serverOnly = testing::childProcesses();
  InMemoryPreferencesStore store;
  auto service = realService(store);
  LogCapture log;
  int spoken = 0, played = 0;
  service->speak("It's four o'clock", std::nullopt, [&] { ++spoken; });
  EXPECT_TRUE(service->isSpeaking());
  // The stream stays open until the sink drains, well after the first samples arrive.
  EXPECT_TRUE(QTest::qWaitFor([&] { return pulse.playing(); }, 10000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return spoken > 0; }, 20000));
  EXPECT_FALSE(service->isSpeaking());
  service = realService(store, true);
  service->speak("It's three o'clock", threeOClock, [&] { ++played; });
  EXPECT_TRUE(hasLine(log, playedClip));
  ASSERT_TRUE(QTest::qWaitFor([&] { return played > 0; }, 20000));
  // Every player has ended and been collected, and what their ends set going has run.
  ASSERT_TRUE(QTest::qWaitFor([&] { return testing::childProcesses() == serverOnly; }, 10000));
  testing::runEventLoopPast(0ms);
  EXPECT_EQ(spoken, 1);
  EXPECT_EQ(played, 1);
  for (const LogCapture::Line& line : log.lines()) {
    EXPECT_NE(line.level, LogLevel::error) << line.message;
  }
}

TEST(AudioPlayer, PlaysUntilTheSoundEndsOrIsStoppedAndAMissingPlayerDoesNotStart) {
  NullSinkServer pulse;
  ASSERT_TRUE(pulse.ready());
  const std::set<pid_t> serverOnly = testing::childProcesses();
  using End = AudioOutput::End;
  const PcmBuffer second{16000, 1, std::vector<std::int16_t>(16000, 3000)};
  ProcessAudioOutput output(VORLANE_AUDIO_PLAYER);
  std::vector<End> ends;
  const auto record = [&](End end) { ends.push_back(end); };
  ASSERT_TRUE(output.play(second, record));
  EXPECT_TRUE(QTest::qWaitFor([&] { return pulse.playing(); }, 5000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !ends.empty(); }, 10000));
  EXPECT_FALSE(output.isPlaying());
  // Cut short: the player ends at once and the end is never reported.
  ASSERT_TRUE(output.play(second, record));
  output.stop();
  EXPECT_FALSE(output.isPlaying());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !pulse.playing(); }, 5000));
  // The killed player has been collected, and what its end set going has run.
  ASSERT_TRUE(QTest::qWaitFor([&] { return testing::childProcesses() == serverOnly; }, 10000));
  testing::runEventLoopPast(0ms);
  EXPECT_EQ(ends, std::vector<End>{End::played});
  // A player that cannot be started reports, later, that nothing was heard.
  ProcessAudioOutput missing("/nonexistent/vorlane-audio-player");
  ASSERT_TRUE(missing.play(second, record));
  ASSERT_TRUE(QTest::qWaitFor([&] { return ends.size() == 2; }, 5000));
  EXPECT_EQ(ends.back(), End::noOutput);
  EXPECT_FALSE(output.play(PcmBuffer{0, 1, {1, 2}}, record));
  testing::runEventLoopPast(0ms);
  EXPECT_EQ(testing::childProcesses(), serverOnly) << "a player was started";
  EXPECT_EQ(ends.size(), 2u);
}

// A sound fed piece by piece while it plays is heard whole and ends once, after its last
// piece has played: not when the player runs dry between pieces.
TEST(AudioPlayer, PlaysASoundFedWhilePlayingToItsEnd) {
  NullSinkServer pulse;
  ASSERT_TRUE(pulse.ready());
  testing::SinkMonitor heard;
  ASSERT_TRUE(QTest::qWaitFor([&] { return heard.recording(); }, 10000));
  ProcessAudioOutput output(VORLANE_AUDIO_PLAYER);
  std::vector<AudioOutput::End> ends;
  ASSERT_TRUE(output.open(16000, 1, [&](AudioOutput::End end) { ends.push_back(end); }));
  const std::vector<std::int16_t> piece(4000, 3000);  // a quarter of a second
  // The sound server drops a few milliseconds of a stream that starts again after running dry.
  constexpr double heardOfAPiece = 0.9 * 250;
  for (int i = 1; i < 4; ++i) {
    output.write(piece);
    // The piece is heard, then the sink runs dry before the next one comes.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return heard.soundMs() >= i * heardOfAPiece && heard.silenceSinceSoundMs() >= 50; },
        10000))
        << "piece " << i << " was not heard whole; heard " << heard.soundMs() << " ms";
  }
  output.write(piece);
  EXPECT_TRUE(ends.empty()) << "ended while more was still to come";
  EXPECT_TRUE(output.isPlaying());
  output.close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !ends.empty(); }, 10000));
  // The last piece, written just before the close, was played whole: the close cut nothing.
  ASSERT_TRUE(QTest::qWaitFor([&] { return heard.silenceSinceSoundMs() >= 100; }, 10000));
  EXPECT_GE(heard.soundMs(), 4 * heardOfAPiece);
  EXPECT_EQ(ends, std::vector<AudioOutput::End>{AudioOutput::End::played});
}

// The sound library's exit used to abort the player now and then (about one end in fifty on
// a busy machine) after its sound had played: a crash report and a core for every such sound.
TEST(AudioPlayer, EndsCleanlyAfterEverySound) {
  NullSinkServer pulse;
  ASSERT_TRUE(pulse.ready());
  const QByteArray tenthOfASecond(3200, '\x10');
  for (int run = 0; run < 60; ++run) {
    SCOPED_TRACE(run);
    QProcess player;
    player.start(VORLANE_AUDIO_PLAYER, {"16000", "1"});
    ASSERT_TRUE(player.waitForStarted(10000));
    player.write(tenthOfASecond);
    player.closeWriteChannel();
    ASSERT_TRUE(player.waitForFinished(30000));
    ASSERT_EQ(player.exitStatus(), QProcess::NormalExit) << player.readAllStandardError().data();
    ASSERT_EQ(player.exitCode(), 0);
    EXPECT_EQ(player.readAllStandardOutput(), "playing\n");
  }
}

// The program says once, in its own log, that nothing could be heard; the sound system's own
// complaint at every sound would stand beside it unprefixed.
TEST(SpeechWithoutSoundServer, ThePlayerEndsWithoutASoundAndWithoutAWord) {
  QProcess player;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("PULSE_SERVER", "unix:/nonexistent/vorlane-test/native");
  player.setProcessEnvironment(environment);
  player.start(VORLANE_AUDIO_PLAYER, {"16000", "1"});
  ASSERT_TRUE(player.waitForStarted(10000));
  player.write(QByteArray(3200, '\0'));
  player.closeWriteChannel();
  ASSERT_TRUE(player.waitForFinished(30000));
  EXPECT_EQ(player.exitCode(), 2);
  EXPECT_EQ(player.readAllStandardOutput(), "");
  EXPECT_EQ(player.readAllStandardError(), "");
}

TEST(SpeechWithoutSoundServer, EveryPhraseEndsPromptlyAndSaysWhy) {
  qputenv("PULSE_SERVER", "unix:/nonexistent/vorlane-test/native");
  if (!QMediaDevices::defaultAudioOutput().isNull()) {
    GTEST_SKIP() << "this process already reached a sound server";
  }
  InMemoryPreferencesStore store;
  for (const bool recordings : {false, true}) {
    SCOPED_TRACE(recordings ? "recorded clip" : "synthesised phrase");
    auto service = realService(store, recordings);
    LogCapture log;
    int completions = 0;
    service->speak("It's three o'clock", threeOClock, [&] { ++completions; });
    EXPECT_EQ(completions, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions > 0; }, 2000));
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(service->isSpeaking());
    EXPECT_TRUE(hasLine(log, {LogLevel::error, "speech", "no audio output for speech"}));
  }
}

}  // namespace
}  // namespace vorlane
