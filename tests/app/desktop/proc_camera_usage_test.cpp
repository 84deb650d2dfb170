#include "app/desktop/proc_camera_usage.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"

namespace fs = std::filesystem;

namespace vorlane {
namespace {

constexpr long ownPid = 777;

class FakeProc {
 public:
  const fs::path& root() const { return folder_.path(); }

  // A process folder whose fd folder holds links to the given targets.
  void process(const std::string& name, const std::vector<std::string>& targets) {
    const fs::path fd = root() / name / "fd";
    fs::create_directories(fd);
    int n = 0;
    for (const std::string& target : targets) fs::create_symlink(target, fd / std::to_string(n++));
  }

 private:
  testing::TempFolder folder_;
};

TEST(ProcCameraUsage, VideoNodesHeldByAnotherProcessMeanTheCameraIsInUse) {
  struct Row {
    const char* name;
    void (*build)(FakeProc&);
    bool inUse;
  };
  const Row rows[] = {
      {"no processes", [](FakeProc&) {}, false},
      {"another process holds /dev/video0",
       [](FakeProc& p) { p.process("100", {"/dev/null", "socket:[123]", "/dev/video0"}); }, true},
      {"only we hold it", [](FakeProc& p) { p.process("777", {"/dev/video2"}); }, false},
      {"a non-numeric folder (like self) is not a process",
       [](FakeProc& p) { p.process("self", {"/dev/video0"}); p.process("12a", {"/dev/video0"}); },
       false},
      {"other devices only",
       [](FakeProc& p) { p.process("100", {"/dev/snd/pcmC0D0c", "/dev/dri/card0", "/dev/video"}); },
       false},
      {"a process whose fd entry is not a folder is skipped",
       [](FakeProc& p) {
         fs::create_directories(p.root() / "55");
         std::ofstream(p.root() / "55" / "fd") << "x";
         p.process("56", {"/dev/video1"});
       },
       true},
      {"a process that went away (no fd folder) is skipped",
       [](FakeProc& p) { fs::create_directories(p.root() / "60"); }, false},
  };
  for (const Row& row : rows) {
    FakeProc proc;
    row.build(proc);
    ProcCameraUsage camera(proc.root().string(), ownPid);
    EXPECT_EQ(camera.isCameraInUse(), row.inUse) << row.name;
  }
}

TEST(ProcCameraUsage, MissingProcTreeMeansIdle) {
  ProcCameraUsage camera("/nonexistent/proc", ownPid);
  EXPECT_FALSE(camera.isCameraInUse());
}

TEST(ProcCameraUsage, RealProcTreeWithoutVideoDevicesIsIdle) {
  for (const auto& entry : fs::directory_iterator("/dev")) {
    if (entry.path().filename().string().starts_with("video")) {
      GTEST_SKIP() << "this machine has a video device";
    }
  }
  // Walks every process, including unreadable ones, and finds nothing.
  ProcCameraUsage camera;
  EXPECT_FALSE(camera.isCameraInUse());
}

}  // namespace
}  // namespace vorlane
