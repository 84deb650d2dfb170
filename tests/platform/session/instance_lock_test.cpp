#include "platform/session/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using State = InstanceLock::State;
using testing::TempFolder;

TEST(InstanceLock, LivesInTheRuntimeFolderElseBesideTheRecords) {
  struct Row {
    const char* name;
    const char* runtime;
    std::optional<fs::path> config;
    std::optional<fs::path> expected;
  };
  const Row rows[] = {
      {"runtime folder", "/run/user/1000", fs::path("/home/u/.config/vorlane"),
       fs::path("/run/user/1000/vorlane.lock")},
      {"runtime folder unset", nullptr, fs::path("/home/u/.config/vorlane"),
       fs::path("/home/u/.config/vorlane/instance.lock")},
      {"runtime folder empty", "", fs::path("/c"), fs::path("/c/instance.lock")},
      {"runtime folder relative", "run/user", fs::path("/c"), fs::path("/c/instance.lock")},
      {"neither", nullptr, std::nullopt, std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(InstanceLock::lockFile(row.runtime, row.config), row.expected) << row.name;
  }
}

// A runtime folder that turns out missing or unusable still leaves the config folder's lock,
// the one every copy of the session falls back to alike.
TEST(InstanceLock, FallsBackToTheLockBesideTheRecords) {
  using Files = std::vector<fs::path>;
  EXPECT_EQ(InstanceLock::lockFiles("/run/user/1000", fs::path("/c")),
            (Files{"/run/user/1000/vorlane.lock", "/c/instance.lock"}));
  EXPECT_EQ(InstanceLock::lockFiles(nullptr, fs::path("/c")), (Files{"/c/instance.lock"}));
  EXPECT_EQ(InstanceLock::lockFiles("/run/user/1000", std::nullopt),
            (Files{"/run/user/1000/vorlane.lock"}));
  EXPECT_EQ(InstanceLock::lockFiles(nullptr, std::nullopt), Files{});
}

// A launch that found the lock held takes it once the holder has gone.
TEST(InstanceLock, ARetryTakesTheLockOnceItsHolderHasGone) {
  TempFolder folder;
  const fs::path file = folder.path() / "vorlane.lock";
  auto holder = std::make_unique<InstanceLock>(file);
  ASSERT_EQ(holder->state(), State::acquired);
  InstanceLock waiting(file);
  ASSERT_EQ(waiting.state(), State::heldElsewhere);
  EXPECT_FALSE(waiting.retry());
  EXPECT_EQ(waiting.state(), State::heldElsewhere);
  holder.reset();
  EXPECT_TRUE(waiting.retry());
  EXPECT_EQ(waiting.state(), State::acquired);
  EXPECT_EQ(InstanceLock(file).state(), State::heldElsewhere) << "and holds it";
}

// Another process sees the lock as held while this one has it, and free once it is gone.
TEST(InstanceLock, OneHolderAtATimeAcrossProcesses) {
  TempFolder folder;
  const fs::path file = folder.path() / "vorlane.lock";
  const auto stateInAnotherProcess = [&] {
    const pid_t child = fork();
    if (child == 0) {
      const InstanceLock lock(file);
      _exit(static_cast<int>(lock.state()));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return static_cast<State>(WEXITSTATUS(status));
  };
  {
    const InstanceLock first(file);
    ASSERT_EQ(first.state(), State::acquired);
    EXPECT_TRUE(first.problem().empty());
    EXPECT_EQ(stateInAnotherProcess(), State::heldElsewhere);
    EXPECT_EQ(InstanceLock(file).state(), State::heldElsewhere) << "a second try in this process";
  }
  EXPECT_EQ(stateInAnotherProcess(), State::acquired);
  EXPECT_EQ(InstanceLock(file).state(), State::acquired);
}

// Regression guard: a program started while the lock is held (the sound player) must not
// keep it after Vorlane ends.
TEST(InstanceLock, ProgramsStartedMeanwhileDoNotInheritIt) {
  TempFolder folder;
  const fs::path file = folder.path() / "vorlane.lock";
  auto lock = std::make_unique<InstanceLock>(file);
  ASSERT_EQ(lock->state(), State::acquired);
  const testing::ChildProcess player({"sleep", "30"}, false);
  ASSERT_TRUE(player.started());
  lock.reset();
  EXPECT_EQ(InstanceLock(file).state(), State::acquired);
}

TEST(InstanceLock, AFileThatCannotBeOpenedIsUnavailableWithItsReason) {
  TempFolder folder;
  const InstanceLock lock(folder.path() / "missing-folder" / "vorlane.lock");
  EXPECT_EQ(lock.state(), State::unavailable);
  EXPECT_EQ(lock.problem(), "No such file or directory");
  fs::create_directory(folder.path() / "vorlane.lock");
  const InstanceLock onAFolder(folder.path() / "vorlane.lock");
  EXPECT_EQ(onAFolder.state(), State::unavailable);
  EXPECT_FALSE(onAFolder.problem().empty());
}

}  // namespace
}  // namespace vorlane
