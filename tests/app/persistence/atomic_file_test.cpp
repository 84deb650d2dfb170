#include "app/persistence/atomic_file.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <system_error>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {
using testing::TempFolder;

// Regression for torn files: a process killed at any point of a save must leave either the
// old or the new contents in full. A child rewrites the file in a loop and is killed at
// varying moments; every kill must leave one of the two complete versions.
TEST(AtomicFile, KilledWriterLeavesOldOrNewNeverTorn) {
  TempFolder temp;
  const auto file = temp / "reminders.json";
  const std::string oldBytes(2 << 20, 'o');
  const std::string newBytes((2 << 20) + 7, 'n');
  int sawOld = 0;
  int sawNew = 0;
  for (int round = 0; round < 24; ++round) {
    writeFileAtomically(file, oldBytes);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) writeFileAtomically(file, i % 2 == 0 ? newBytes : oldBytes);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500 + round * 700));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    auto bytes = testing::readFile(file);
    ASSERT_TRUE(bytes.has_value());
    ASSERT_TRUE(*bytes == oldBytes || *bytes == newBytes)
        << "torn file of " << bytes->size() << " bytes in round " << round;
    (*bytes == oldBytes ? sawOld : sawNew)++;
    // A killed writer may leave its temporary file, never a damaged target.
    for (const auto& name : testing::folderEntries(temp.path())) {
      EXPECT_TRUE(name == "reminders.json" || name.rfind(".reminders.json.tmp-", 0) == 0) << name;
    }
  }
  EXPECT_GT(sawOld + sawNew, 0);
}

// A full disk shows up as a short write: the save fails, the old file stays, the temporary
// file goes. RLIMIT_FSIZE stages it even for root.
TEST(AtomicFile, ShortWriteThrowsAndKeepsTheOldFile) {
  TempFolder temp;
  const auto file = temp / "reminders.json";
  writeFileAtomically(file, "[]");

  struct rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  bool threw = false;
  try {
    writeFileAtomically(file, std::string(100000, 'x'));
  } catch (const std::system_error& error) {
    threw = true;
    EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << error.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previousHandler);

  EXPECT_TRUE(threw);
  EXPECT_EQ(testing::readFile(file), "[]");
  EXPECT_EQ(testing::folderEntries(temp.path()), std::vector<std::string>{"reminders.json"});
}

}  // namespace
}  // namespace vorlane
