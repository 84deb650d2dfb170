// The speech service with libflite and QAudioSink, against a sound server of the test's own
// and against none at all.

#include <QMediaDevices>
#include <QAudioDevice>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include "app/logging/log_capture.h"
#include "app/services/av_speech_service.h"
#include "app/services/flite_engine.h"
#include "app/services/sink_audio_output.h"
#include "core/scheduling/in_memory_preferences_store.h"
#include "tests/app/services/integration/private_daemons.h"

namespace vorlane {
namespace {

using Lines = std::vector<LogCapture::Line>;

const Calendar newYork("America/New_York");

std::unique_ptr<AVSpeechService> realService(PreferencesStore& store) {
  return std::make_unique<AVSpeechService>(
      store, AVSpeechService::Dependencies{
                 std::make_unique<FliteEngine>(), std::make_unique<SinkAudioOutput>(),
                 std::make_unique<SinkAudioOutput>(),
                 ResourceLocator({std::filesystem::path(VORLANE_SOUNDS_BUILD_DIR)}),
                 [] { return newYork; }});
}

void chooseRecordings(PreferencesStore& store) {
  Preferences p = store.preferences();
  p.voiceIdentifier = BundledSpeech::voiceIdentifier;
  store.setPreferences(p);
}

bool hasLine(const LogCapture& log, const LogCapture::Line& line) {
  const Lines lines = log.lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

QByteArray pactl(const QString& address, const QStringList& arguments) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("PULSE_SERVER", address);
  process.setProcessEnvironment(environment);
  process.start("pactl", arguments);
  return process.waitForFinished(5000) ? process.readAllStandardOutput().trimmed() : QByteArray();
}

// Whether the sound server has a stream playing into its sink right now.
bool serverIsPlaying(const QString& address) {
  return !pactl(address, {"list", "short", "sink-inputs"}).isEmpty();
}

// The sound server must be chosen before this process first asks for an audio device.
TEST(SpeechRoundTrip, PhrasesAndClipsPlayThroughASoundServerAndCompleteOnce) {
  testing::PrivatePulseAudio pulse;
  ASSERT_TRUE(pulse.start()) << pulse.output().toStdString();
  qputenv("PULSE_SERVER", pulse.address().toUtf8());
  ASSERT_FALSE(QMediaDevices::defaultAudioOutput().isNull())
      << "this process reached for audio before the test's server ran; run the test alone";

  InMemoryPreferencesStore store;
  auto service = realService(store);
  LogCapture log;

  int spoken = 0;
  service->speak("It's four o'clock", std::nullopt, [&] { ++spoken; });
  EXPECT_TRUE(service->isSpeaking());
  // The stream stays open until the sink drains, well after the first samples arrive.
  EXPECT_TRUE(QTest::qWaitFor([&] { return serverIsPlaying(pulse.address()); }, 10000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return spoken > 0; }, 20000));
  QTest::qWait(100);
  EXPECT_EQ(spoken, 1);
  EXPECT_FALSE(service->isSpeaking());

  chooseRecordings(store);
  int played = 0;
  service->speak("It's three o'clock", *newYork.date(2026, 3, 10, 15, 0), [&] { ++played; });
  EXPECT_TRUE(hasLine(log, {LogLevel::info, "speech", "played bundled clip hour-3-00.wav"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return played > 0; }, 20000));
  QTest::qWait(100);
  EXPECT_EQ(played, 1);

  for (const LogCapture::Line& line : log.lines()) {
    EXPECT_NE(line.level, LogLevel::error) << line.message;
  }
}

TEST(SpeechRoundTrip, StopCutsOffAPlayingPhrase) {
  testing::PrivatePulseAudio pulse;
  ASSERT_TRUE(pulse.start()) << pulse.output().toStdString();
  qputenv("PULSE_SERVER", pulse.address().toUtf8());
  ASSERT_FALSE(QMediaDevices::defaultAudioOutput().isNull())
      << "this process reached for audio before the test's server ran; run the test alone";

  InMemoryPreferencesStore store;
  auto service = realService(store);
  int completions = 0;
  service->speak("This is a long sentence that the stop call will cut off well before its end.",
                 std::nullopt, [&] { ++completions; });
  QTest::qWait(300);
  service->stop();
  EXPECT_FALSE(service->isSpeaking());
  EXPECT_TRUE(QTest::qWaitFor([&] { return completions > 0; }, 2000));
  QTest::qWait(200);
  EXPECT_EQ(completions, 1);
}

TEST(SpeechRoundTrip, ASoundStalledOnASuspendedDeviceStillEnds) {
  testing::PrivatePulseAudio pulse;
  ASSERT_TRUE(pulse.start()) << pulse.output().toStdString();
  qputenv("PULSE_SERVER", pulse.address().toUtf8());
  ASSERT_FALSE(QMediaDevices::defaultAudioOutput().isNull())
      << "this process reached for audio before the test's server ran; run the test alone";
  pactl(pulse.address(), {"suspend-sink", "vorlane_test", "1"});

  SinkAudioOutput output(300);
  int finished = 0;
  ASSERT_TRUE(output.play(PcmBuffer{16000, 1, std::vector<std::int16_t>(3200, 1000)},
                          [&] { ++finished; }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return finished > 0; }, 5000));
  EXPECT_FALSE(output.isPlaying());
}

TEST(SpeechWithoutSoundServer, EveryPhraseEndsPromptlyAndSaysWhy) {
  qputenv("PULSE_SERVER", "unix:/nonexistent/vorlane-test/native");
  if (!QMediaDevices::defaultAudioOutput().isNull()) {
    GTEST_SKIP() << "this process already reached a sound server; run the test alone";
  }
  InMemoryPreferencesStore store;
  auto service = realService(store);
  const LogCapture::Line noOutput{LogLevel::error, "speech", "no audio output for speech"};

  struct Row {
    const char* name;
    bool recordings;
  };
  for (const Row& row : {Row{"synthesised phrase", false}, Row{"recorded clip", true}}) {
    SCOPED_TRACE(row.name);
    if (row.recordings) {
      chooseRecordings(store);
    }
    LogCapture log;
    int completions = 0;
    service->speak("It's three o'clock", *newYork.date(2026, 3, 10, 15, 0), [&] { ++completions; });
    EXPECT_EQ(completions, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions > 0; }, 2000));
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(service->isSpeaking());
    EXPECT_TRUE(hasLine(log, noOutput));
    // The clip opened but could not start: no claim that it played.
    EXPECT_FALSE(hasLine(log, {LogLevel::info, "speech", "played bundled clip hour-3-00.wav"}));
  }
}

}  // namespace
}  // namespace vorlane
