#include "platform/session/instance_locks.h"

#include <gtest/gtest.h>

#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using State = InstanceLock::State;
using Lines = std::vector<LogCapture::Line>;

// Whether another holder could take `file` now (and lets go of it at once).
bool freeNow(const fs::path& file) { return InstanceLock(file).state() == State::acquired; }

TEST(InstanceLocks, HoldsEveryLockThatCanBeMadeAndSkipsTheOthersWithAReason) {
  testing::TempFolder temp;
  const fs::path runtime = temp / "missing-runtime/vorlane.lock";
  const fs::path records = temp / "config/vorlane/instance.lock";
  LogCapture log;
  InstanceLocks locks({runtime, records}, {records.parent_path()});
  ASSERT_TRUE(locks.take());
  EXPECT_TRUE(locks.guards());
  EXPECT_TRUE(fs::is_directory(records.parent_path())) << "the records' folder is made";
  EXPECT_FALSE(fs::exists(runtime.parent_path())) << "only that one";
  EXPECT_FALSE(freeNow(records));
  EXPECT_EQ(
      log.lines(),
      (Lines{{LogLevel::error, "lifecycle",
              "instance lock " + runtime.string() + " unavailable: No such file or directory"}}));

  fs::create_directories(temp / "folder-in-the-way/vorlane.lock");
  InstanceLocks none({temp / "folder-in-the-way/vorlane.lock"});
  EXPECT_TRUE(none.take());
  EXPECT_FALSE(none.guards()) << "nothing guards: the bus has to";
}

// The runtime folder appeared after the first copy looked: the second holds the runtime lock
// the first never took, and still finds the first through the lock beside the records.
TEST(InstanceLocks, CopiesThatSeeDifferentPlacesStillFindEachOther) {
  testing::TempFolder temp;
  const fs::path runtime = temp / "runtime/vorlane.lock";
  const fs::path records = temp / "config/instance.lock";
  fs::create_directories(records.parent_path());
  InstanceLocks first({runtime, records});
  ASSERT_TRUE(first.take());
  fs::create_directories(runtime.parent_path());
  InstanceLocks second({runtime, records});
  EXPECT_FALSE(second.take());
  EXPECT_FALSE(second.take()) << "still held";
}

// Waiting for the first lock, a copy takes none after it: two copies never each hold a lock
// the other waits for.
TEST(InstanceLocks, TakesInOrderAndNothingPastTheLockItWaitsFor) {
  testing::TempFolder temp;
  const fs::path a = temp / "a.lock", b = temp / "b.lock";
  auto holderOfA = std::make_unique<InstanceLock>(a);
  InstanceLocks locks({a, b});
  EXPECT_FALSE(locks.take());
  EXPECT_TRUE(freeNow(b)) << "b is not taken while waiting for a";
  holderOfA.reset();
  EXPECT_TRUE(locks.take());
  EXPECT_FALSE(freeNow(a));
  EXPECT_FALSE(freeNow(b));
}

}  // namespace
}  // namespace vorlane
