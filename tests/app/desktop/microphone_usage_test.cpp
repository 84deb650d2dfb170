#include <sys/socket.h>
#include <sys/un.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "app/desktop/alsa_capture_status.h"
#include "app/desktop/capture_streams.h"
#include "app/desktop/pulse_capture_query.h"
#include "app/desktop/system_microphone_usage.h"
#include "tests/support/child_process.h"

using namespace std::chrono_literals;

namespace vorlane {
namespace {

TEST(CaptureStreams, OnlyUncorkedStreamsOfOtherProcessesOnRealInputsCount) {
  const std::pair<CaptureStream, bool> rows[] = {
      {{false, 100, 1}, true}, {{false, std::nullopt, 1}, true} /* naming no process */, {{true, 100, 1}, false} /* corked */,
      {{false, 42, 1}, false} /* our own */, {{false, 100, 0}, false} /* recording what is played (monitor) */};
  for (const auto& [stream, active] : rows) EXPECT_EQ(anyCaptureStreamActive({stream}, {0}, 42), active) << stream.source << stream.corked;
  EXPECT_FALSE(anyCaptureStreamActive({}, {0}, 42));
  EXPECT_TRUE(anyCaptureStreamActive({{true, 100, 1}, {false, 100, 1}}, {0}, 42));
}

TEST(AlsaCaptureStatus, OnlyRunningCaptureSubstreamsCountAndTheSoundServerIsAskedFirst) {
  EXPECT_TRUE(alsaStatusIsRunning("owner_pid   : 1\nstate: RUNNING  \r\n"));
  for (const char* text : {"closed\n", "state: PREPARED\n", "state: RUNNINGX\n", ""}) EXPECT_FALSE(alsaStatusIsRunning(text)) << text;
  const std::vector<std::pair<std::string, std::string>> files = {
      {"card0/pcm0p/sub0", "state: RUNNING\n"} /* playback */, {"cards/pcm0c/sub0", "state: RUNNING\n"},
      {"card0/pcmc/sub0", "state: RUNNING\n"} /* folders that only look alike */, {"card0/pcm0c/sub0", "closed\n"},
      {"card1/pcm3c/sub1", "state: RUNNING\n"} /* running capture on the second card: only this one counts */};
  testing::TempFolder asound;
  const std::string noServer = "unix:" + (asound / "missing").string();
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_FALSE(alsaCaptureRunning(asound.path().string())) << files[i].first;
    EXPECT_FALSE(SystemMicrophoneUsage(PulseCaptureQuery(noServer), asound.path().string()).isMicrophoneInUse());
    std::filesystem::create_directories(asound / files[i].first);
    testing::writeFile(asound / files[i].first / "status", files[i].second);
  }
  EXPECT_TRUE(alsaCaptureRunning(asound.path().string()));
  EXPECT_TRUE(SystemMicrophoneUsage(PulseCaptureQuery(noServer), asound.path().string()).isMicrophoneInUse());
  EXPECT_FALSE(alsaCaptureRunning("/nonexistent/asound"));
}

TEST(PulseCaptureQuery, AServerThatNeverAnswersGivesNoAnswerWithinTheTimeout) {
  testing::TempFolder runtime;
  const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{AF_UNIX, {}};
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", (runtime / "native").c_str());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);  // connections queue up and are never served
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(PulseCaptureQuery("unix:" + (runtime / "native").string(), 250ms).isCapturing(), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "the query must give up, not wait for the server";
  close(listener);
}

// A private PulseAudio server with a null output and a null microphone.
TEST(PulseCaptureQuery, RecordingFromTheMicrophoneCountsAndFromTheMonitorDoesNot) {
  testing::TempFolder runtime;
  const std::string server = "unix:" + (runtime / "native").string();
  const std::vector<std::string> environment{"HOME=" + runtime.path().string(), "XDG_RUNTIME_DIR=" + runtime.path().string(), "PULSE_SERVER=" + server};
  testing::ChildProcess pulse({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=false",
                               "-L", "module-native-protocol-unix socket=" + (runtime / "native").string() + " auth-anonymous=1",
                               "-L", "module-null-sink sink_name=speakers", "-L", "module-null-source source_name=mic"}, false, environment);
  const auto capturing = [&] { return PulseCaptureQuery(server, 1000ms).isCapturing(); };
  ASSERT_TRUE(pulse.started() && testing::waitUntil([&] { return capturing().has_value(); })) << "pulseaudio did not come up";
  EXPECT_EQ(capturing(), std::optional(false));
  const auto record = [&](const std::string& device) {
    return std::make_unique<testing::ChildProcess>(std::vector<std::string>{"parecord", "--device=" + device, "/dev/null"}, false, environment);
  };
  auto monitor = record("speakers.monitor");
  ASSERT_TRUE(testing::waitUntil([&] {
    return std::system(("test \"$(PULSE_SERVER=" + server + " pactl list short source-outputs 2>/dev/null | wc -l)\" = 1").c_str()) == 0;
  }));
  EXPECT_EQ(capturing(), std::optional(false));
  auto microphone = record("mic");
  EXPECT_TRUE(testing::waitUntil([&] { return capturing() == std::optional(true); }));
  microphone.reset();
  EXPECT_TRUE(testing::waitUntil([&] { return capturing() == std::optional(false); }));
}

}  // namespace
}  // namespace vorlane
