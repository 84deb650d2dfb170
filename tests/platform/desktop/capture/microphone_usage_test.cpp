#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "platform/desktop/capture/alsa_capture_status.h"
#include "platform/desktop/capture/capture_streams.h"
#include "platform/desktop/capture/pulse_capture_query.h"
#include "platform/desktop/capture/system_microphone_usage.h"
#include "tests/support/child_process.h"
#include "tests/support/silent_sound_server.h"
#include "tests/support/temp_folder.h"

using namespace std::chrono_literals;

namespace vorlane {
namespace {

TEST(CaptureStreams, OnlyUncorkedStreamsOfOtherProcessesOnRealInputsCount) {
  // Source 0 is a monitor (recording what is played); we are process 42.
  const std::tuple<const char*, CaptureStream, bool> rows[] = {
      {"another process", {false, 100, 1}, true},
      {"naming no process", {false, std::nullopt, 1}, true},
      {"corked", {true, 100, 1}, false},
      {"our own", {false, 42, 1}, false},
      {"recording a monitor", {false, 100, 0}, false},
  };
  for (const auto& [name, stream, active] : rows) {
    EXPECT_EQ(anyCaptureStreamActive({stream}, {0}, 42), active) << name;
  }
  EXPECT_FALSE(anyCaptureStreamActive({}, {0}, 42));
  EXPECT_TRUE(anyCaptureStreamActive({{true, 100, 1}, {false, 100, 1}}, {0}, 42));
}

TEST(AlsaCaptureStatus, OnlyRunningCaptureSubstreamsCountAndTheSoundServerIsAskedFirst) {
  EXPECT_TRUE(alsaStatusIsRunning("owner_pid   : 1\nstate: RUNNING  \r\n"));
  for (const char* text : {"closed\n", "state: PREPARED\n", "state: RUNNINGX\n", ""}) {
    EXPECT_FALSE(alsaStatusIsRunning(text)) << text;
  }
  const std::vector<std::pair<std::string, std::string>> files = {
      {"card0/pcm0p/sub0", "state: RUNNING\n"},  // playback
      {"cards/pcm0c/sub0", "state: RUNNING\n"},  // a folder that only looks alike
      {"card0/pcmc/sub0", "state: RUNNING\n"},   // likewise
      {"card0/pcm0c/sub0", "closed\n"},
      {"card1/pcm3c/sub1", "state: RUNNING\n"},  // running capture: only this one counts
  };
  testing::TempFolder asound;
  const std::string noServer = "unix:" + (asound / "missing").string();
  const auto inUse = [&] {  // the sound server is asked first, then ALSA
    return SystemMicrophoneUsage(PulseCaptureQuery(noServer), asound.path().string())
        .isMicrophoneInUse();
  };
  for (const auto& [folder, status] : files) {
    EXPECT_FALSE(inUse()) << "before " << folder;
    std::filesystem::create_directories(asound / folder);
    testing::writeFile(asound / folder / "status", status);
  }
  EXPECT_TRUE(inUse());
  EXPECT_FALSE(alsaCaptureRunning("/nonexistent/asound"));
}

// The query gives up on a server that never answers; what the wait costs is measured in
// bench/hung_services_bench.cpp.
TEST(PulseCaptureQuery, AServerThatNeverAnswersIsUnknownAndNoServerIsSaidSo) {
  const testing::SilentSoundServer silent;
  ASSERT_TRUE(silent.listening());
  EXPECT_EQ(PulseCaptureQuery(silent.address(), 250ms).isCapturing(), CaptureAnswer::unknown);
  EXPECT_EQ(PulseCaptureQuery("unix:" + (silent.runtime() / "missing").string()).isCapturing(),
            CaptureAnswer::noServer);
}

TEST(SystemMicrophoneUsage, ASlowServerIsNotInUseEvenWhenAlsaSeesACaptureRunning) {
  // The server's own capture substream runs whenever anything records through it.
  testing::TempFolder asound;
  std::filesystem::create_directories(asound / "card0/pcm0c/sub0");
  testing::writeFile(asound / "card0/pcm0c/sub0/status", "state: RUNNING\n");
  const testing::SilentSoundServer silent;
  ASSERT_TRUE(silent.listening());
  EXPECT_FALSE(
      SystemMicrophoneUsage(PulseCaptureQuery(silent.address(), 100ms), asound.path().string())
          .isMicrophoneInUse());
  EXPECT_TRUE(SystemMicrophoneUsage(PulseCaptureQuery("unix:" + (asound / "none").string()),
                                    asound.path().string())
                  .isMicrophoneInUse());
}

// A PulseAudio server of the test's own with one real input (a null source) and nothing else
// of the user's touched.
struct SoundServer {
  testing::TempFolder dir;
  std::string address = "unix:" + (dir / "native").string();
  testing::ChildProcess process{
      {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
       "--system=no", "-L", "module-null-source source_name=vorlane_mic", "-L",
       "module-native-protocol-unix auth-anonymous=1 socket=" + (dir / "native").string()},
      false,
      {"XDG_RUNTIME_DIR=" + dir.path().string(), "HOME=" + dir.path().string()}};
  std::vector<std::string> environment() const {
    return {"PULSE_SERVER=" + address, "XDG_RUNTIME_DIR=" + dir.path().string(),
            "HOME=" + dir.path().string()};
  }
  // The clients connected now, other than the pactl that asks.
  int clients() const {
    const std::string out = (dir / "clients").string();
    const std::string command = "PULSE_SERVER=" + address + " pactl list short clients > " + out;
    if (std::system(command.c_str()) != 0) return -1;
    std::ifstream in(out);
    int count = 0;
    for (std::string line; std::getline(in, line);)
      count += line.find("pactl") == std::string::npos;
    return count;
  }
};

TEST(PulseCaptureQuery, OneConnectionAnswersEveryQuestionAndSeesARecordingComeAndGo) {
  SoundServer server;
  ASSERT_TRUE(testing::waitUntil([&] { return std::filesystem::exists(server.dir / "native"); }))
      << "pulseaudio did not start";
  PulseCaptureQuery query(server.address, 2s);
  ASSERT_TRUE(testing::waitUntil([&] { return query.isCapturing() == CaptureAnswer::idle; }));
  auto recorder = std::make_unique<testing::ChildProcess>(
      std::vector<std::string>{"parec", "-d", "vorlane_mic"}, false, server.environment());
  EXPECT_TRUE(testing::waitUntil([&] { return query.isCapturing() == CaptureAnswer::capturing; }));
  recorder.reset();
  EXPECT_TRUE(testing::waitUntil([&] { return query.isCapturing() == CaptureAnswer::idle; }));
  EXPECT_EQ(server.clients(), 1) << "the questions share one connection";
}

}  // namespace
}  // namespace vorlane
