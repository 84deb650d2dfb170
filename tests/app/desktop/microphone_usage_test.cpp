#include <sys/socket.h>
#include <sys/un.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "app/desktop/alsa_capture_status.h"
#include "app/desktop/capture_streams.h"
#include "app/desktop/pulse_capture_query.h"
#include "app/desktop/system_microphone_usage.h"
#include "tests/support/child_process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace vorlane {
namespace {

TEST(CaptureStreams, OnlyUncorkedStreamsOfOtherProcessesOnRealInputsCount) {
  const std::set<std::uint32_t> monitors{0};
  struct Row {
    const char* name;
    CaptureStream stream;
    bool active;
  };
  const Row rows[] = {
      {"another process on a microphone", {false, 100, 1}, true},
      {"a stream naming no process", {false, std::nullopt, 1}, true},
      {"corked", {true, 100, 1}, false},
      {"our own stream", {false, 42, 1}, false},
      {"recording what is played (monitor)", {false, 100, 0}, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(anyCaptureStreamActive({row.stream}, monitors, 42), row.active) << row.name;
  }
  EXPECT_FALSE(anyCaptureStreamActive({}, monitors, 42));
  EXPECT_TRUE(anyCaptureStreamActive({{true, 100, 1}, {false, 100, 1}}, monitors, 42));
}

TEST(AlsaCaptureStatus, StatusTextIsRunningOnlyOnTheExactStateLine) {
  EXPECT_TRUE(alsaStatusIsRunning("state: RUNNING\nowner_pid   : 1234\n"));
  EXPECT_TRUE(alsaStatusIsRunning("owner_pid   : 1\nstate: RUNNING  \r\n"));
  EXPECT_FALSE(alsaStatusIsRunning("closed\n"));
  EXPECT_FALSE(alsaStatusIsRunning("state: PREPARED\n"));
  EXPECT_FALSE(alsaStatusIsRunning("state: RUNNINGX\n"));
  EXPECT_FALSE(alsaStatusIsRunning(""));
}

class FakeAsound {
 public:
  std::string root() const { return folder_.path().string(); }
  void status(const std::string& relative, const std::string& text) {
    const fs::path file = folder_.path() / relative / "status";
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }

 private:
  testing::TempFolder folder_;
};

TEST(AlsaCaptureStatus, OnlyRunningCaptureSubstreamsCount) {
  struct Row {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    bool running;
  };
  const Row rows[] = {
      {"empty tree", {}, false},
      {"running playback", {{"card0/pcm0p/sub0", "state: RUNNING\n"}}, false},
      {"closed capture", {{"card0/pcm0c/sub0", "closed\n"}}, false},
      {"running capture on the second card",
       {{"card0/pcm0c/sub0", "closed\n"}, {"card1/pcm3c/sub1", "state: RUNNING\n"}}, true},
      {"folders that only look alike", {{"cards/pcm0c/sub0", "state: RUNNING\n"},
                                        {"card0/pcmc/sub0", "state: RUNNING\n"}}, false},
  };
  for (const Row& row : rows) {
    FakeAsound asound;
    for (const auto& [path, text] : row.files) asound.status(path, text);
    EXPECT_EQ(alsaCaptureRunning(asound.root()), row.running) << row.name;
  }
  EXPECT_FALSE(alsaCaptureRunning("/nonexistent/asound"));
}

TEST(MicrophoneUsage, WithoutASoundServerTheAlsaCaptureStateDecides) {
  testing::TempFolder runtime;
  const std::string noServer = "unix:" + (runtime.path() / "missing").string();
  FakeAsound asound;
  SystemMicrophoneUsage idle(PulseCaptureQuery(noServer), asound.root());
  EXPECT_FALSE(idle.isMicrophoneInUse());

  asound.status("card0/pcm0c/sub0", "state: RUNNING\n");
  SystemMicrophoneUsage recording(PulseCaptureQuery(noServer), asound.root());
  EXPECT_TRUE(recording.isMicrophoneInUse());
}

TEST(PulseCaptureQuery, AServerThatNeverAnswersGivesNoAnswerWithinTheTimeout) {
  testing::TempFolder runtime;
  const fs::path socketPath = runtime.path() / "native";
  const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);  // connections queue up and are never served

  const auto start = std::chrono::steady_clock::now();
  const std::optional<bool> answer =
      PulseCaptureQuery("unix:" + socketPath.string(), 250ms).isCapturing();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  close(listener);

  EXPECT_EQ(answer, std::nullopt);
  EXPECT_LT(elapsed, 2s) << "the query must give up, not wait for the server";
}

// A private PulseAudio server with a null output and a null microphone.
class PulseServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = runtime_.path().string();
    socket_ = dir + "/native";
    environment_ = {"HOME=" + dir, "XDG_RUNTIME_DIR=" + dir, "PULSE_SERVER=unix:" + socket_};
    server_ = std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{
            "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=false",
            "-L", "module-native-protocol-unix socket=" + socket_ + " auth-anonymous=1",
            "-L", "module-null-sink sink_name=speakers",
            "-L", "module-null-source source_name=mic"},
        false, environment_);
    ASSERT_TRUE(server_->started()) << "pulseaudio is not installed";
    ASSERT_TRUE(testing::waitUntil([&] { return query().isCapturing().has_value(); }))
        << "pulseaudio did not come up";
  }

  PulseCaptureQuery query() const { return PulseCaptureQuery("unix:" + socket_, 1000ms); }

  std::unique_ptr<testing::ChildProcess> record(const std::string& device) {
    return std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{"parecord", "--device=" + device, "/dev/null"}, false,
        environment_);
  }

  int sourceOutputs() const {
    const std::string command = "PULSE_SERVER=unix:" + socket_ +
                                " pactl list short source-outputs 2>/dev/null | wc -l";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    int count = -1;
    if (std::fscanf(pipe, "%d", &count) != 1) count = -1;
    pclose(pipe);
    return count;
  }

  testing::TempFolder runtime_;
  std::string socket_;
  std::vector<std::string> environment_;
  std::unique_ptr<testing::ChildProcess> server_;
};

TEST_F(PulseServerTest, RecordingFromTheMicrophoneCountsAndFromTheMonitorDoesNot) {
  EXPECT_EQ(query().isCapturing(), std::optional<bool>(false));

  auto monitor = record("speakers.monitor");
  ASSERT_TRUE(testing::waitUntil([&] { return sourceOutputs() == 1; }));
  EXPECT_EQ(query().isCapturing(), std::optional<bool>(false));

  auto microphone = record("mic");
  EXPECT_TRUE(testing::waitUntil([&] { return query().isCapturing() == std::optional(true); }));

  microphone.reset();
  EXPECT_TRUE(testing::waitUntil([&] { return query().isCapturing() == std::optional(false); }));
}

}  // namespace
}  // namespace vorlane
