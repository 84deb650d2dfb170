#include "platform/desktop/capture/proc_camera_usage.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace vorlane {
namespace {

// A fake /proc: each process folder's fd folder holds links to the given targets.
using Processes = std::vector<std::pair<std::string, std::vector<std::string>>>;

TEST(ProcCameraUsage, VideoNodesHeldByAnotherProcessMeanTheCameraIsInUse) {
  const std::tuple<const char*, Processes, bool> rows[] = {
      {"another process holds it", {{"100", {"/dev/null", "socket:[123]", "/dev/video0"}}}, true},
      {"only we hold it", {{"777", {"/dev/video2"}}}, false},
      {"non-numeric folders", {{"self", {"/dev/video0"}}, {"12a", {"/dev/video0"}}}, false},
      {"other devices only",
       {{"100", {"/dev/snd/pcmC0D0c", "/dev/dri/card0", "/dev/video"}}},
       false},
      {"fd not a folder, or missing", {{"55", {}}, {"60", {}}, {"56", {"/dev/video1"}}}, true},
  };
  for (const auto& [name, processes, inUse] : rows) {
    testing::TempFolder proc;
    for (const auto& [pid, targets] : processes) {
      fs::create_directories(proc / pid / (targets.empty() ? "" : "fd"));
      if (pid == "55") testing::writeFile(proc / pid / "fd", "x");  // not a folder
      for (std::size_t n = 0; n < targets.size(); ++n) {
        fs::create_symlink(targets[n], proc / pid / "fd" / std::to_string(n));
      }
    }
    EXPECT_EQ(ProcCameraUsage(proc.path().string(), 777).isCameraInUse(), inUse) << name;
  }
  EXPECT_FALSE(ProcCameraUsage("/nonexistent/proc", 777).isCameraInUse());
}

TEST(ProcCameraUsage, RealProcTreeWithoutVideoDevicesIsIdle) {
  for (const auto& e : fs::directory_iterator("/dev")) {
    if (e.path().filename().string().starts_with("video")) {
      GTEST_SKIP() << "this machine has a video device";
    }
  }
  EXPECT_FALSE(ProcCameraUsage().isCameraInUse());  // walks every process, unreadable ones too
}

}  // namespace
}  // namespace vorlane
