#include <sys/socket.h>
#include <sys/un.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "app/desktop/alsa_capture_status.h"
#include "app/desktop/capture_streams.h"
#include "app/desktop/pulse_capture_query.h"
#include "app/desktop/system_microphone_usage.h"
#include "tests/support/temp_folder.h"

using namespace std::chrono_literals;

namespace vorlane {
namespace {

TEST(CaptureStreams, OnlyUncorkedStreamsOfOtherProcessesOnRealInputsCount) {
  // Another process, one naming no process, corked, our own, recording what is played (monitor).
  const std::pair<CaptureStream, bool> rows[] = {{{false, 100, 1}, true}, {{false, std::nullopt, 1}, true}, {{true, 100, 1}, false},
                                                 {{false, 42, 1}, false}, {{false, 100, 0}, false}};
  for (const auto& [stream, active] : rows) EXPECT_EQ(anyCaptureStreamActive({stream}, {0}, 42), active) << stream.source << stream.corked;
  EXPECT_TRUE(!anyCaptureStreamActive({}, {0}, 42) && anyCaptureStreamActive({{true, 100, 1}, {false, 100, 1}}, {0}, 42));
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
  for (std::size_t i = 0; i < files.size(); ++i) {  // the sound server is asked first, then ALSA
    EXPECT_FALSE(SystemMicrophoneUsage(PulseCaptureQuery(noServer), asound.path().string()).isMicrophoneInUse()) << files[i].first;
    std::filesystem::create_directories(asound / files[i].first);
    testing::writeFile(asound / files[i].first / "status", files[i].second);
  }
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

}  // namespace
}  // namespace vorlane
