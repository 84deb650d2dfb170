// Two launches in one session: the second finds the first, asks it to show itself, and ends
// with 0; the first goes on and sends the mascot down as "Show me" does.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/persistence/file_record_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "tests/support/program_run.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using testing::waitUntil;

TEST(SingleInstance, ASecondLaunchHandsOverToTheFirstAndEndsWithZero) {
  ASSERT_TRUE(std::filesystem::exists(testing::fakeTimeLibrary)) << "libfaketime is missing";
  testing::DesktopSession desktop(testing::DesktopPieces{
      .compositor = false, .tray = false, .notifications = false, .sound = false});
  ASSERT_TRUE(desktop.ready()) << desktop.failure();
  testing::TempFolder home;
  {
    FileRecordStore records(home.path() / ".config/vorlane");
    RecordPreferencesStore(records).modify([](Preferences& p) { p.hasCompletedOnboarding = true; });
  }
  // Mid-hour, so that the only visit is the one asked for.
  const testing::ProgramRun::Clock clock{"UTC", testing::localTime("UTC", "2025-06-02 10:20:00"),
                                         1};
  testing::ProgramRun first(desktop, home.path());
  ASSERT_TRUE(first.start(clock, {"DONT_FAKE_MONOTONIC=1"}));
  // Reachable once the name is on the bus.
  ASSERT_TRUE(waitUntil(
      [&] {
        return desktop.shell(
            "dbus-send --session --print-reply --dest=org.freedesktop.DBus "
            "/org/freedesktop/DBus org.freedesktop.DBus.GetNameOwner "
            "string:com.corvantis.vorlane");
      },
      60s))
      << first.log();

  testing::ProgramRun second(desktop, home.path());
  ASSERT_TRUE(second.start(clock, {"DONT_FAKE_MONOTONIC=1"}));
  ASSERT_TRUE(waitUntil([&] { return !second.running(); }, 30s)) << "the second launch stays";
  const auto status = second.exitStatus();
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;

  // Both write to the same log: the first was launched once and shows itself.
  EXPECT_TRUE(first.waitForLine("vorlane: Vorlane is already running; it shows itself now", 10s))
      << first.log();
  EXPECT_TRUE(first.waitForLine("another launch asked to show Vorlane", 10s)) << first.log();
  EXPECT_TRUE(first.waitForLine("performing visit scheduled for 2025-06-02 10:2", 60s))
      << first.log();
  EXPECT_EQ(first.count("Vorlane launching"), 1u);
  EXPECT_TRUE(first.running()) << "the first one goes on";
  const auto ended = first.stop(SIGTERM);
  ASSERT_TRUE(ended.has_value());
  EXPECT_TRUE(WIFEXITED(*ended) && WEXITSTATUS(*ended) == 0) << *ended;
}

// Copies started at the same instant, as a user double-clicking or a session restoring, in
// one home, round after round.
class Launches : public ::testing::Test {
 protected:
  static constexpr int rounds = 10;

  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(testing::fakeTimeLibrary)) << "libfaketime is missing";
    ASSERT_TRUE(desktop_.ready()) << desktop_.failure();
    FileRecordStore records(home_.path() / ".config/vorlane");
    RecordPreferencesStore(records).modify([](Preferences& p) { p.hasCompletedOnboarding = true; });
  }

  std::unique_ptr<testing::ProgramRun> launch(const std::vector<std::string>& environment) {
    auto run = std::make_unique<testing::ProgramRun>(desktop_, home_.path());
    std::vector<std::string> env = environment;
    env.emplace_back("DONT_FAKE_MONOTONIC=1");
    EXPECT_TRUE(run->start(clock_, env));
    return run;
  }

  std::optional<std::string> nameOwner() const {
    return testing::commandOutput(desktop_.withEnvironment(
        "dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus "
        "/org/freedesktop/DBus org.freedesktop.DBus.GetNameOwner string:com.corvantis.vorlane "
        "2>/dev/null"));
  }
  bool nameOwned() const { return nameOwner().has_value(); }

  // Starts `copies` at once and waits until all but one have ended with 0; the one left
  // must own the bus name. Ends that one too. The failures of the round, empty when it held.
  std::string round(int copies, const std::vector<std::string>& environment) {
    std::vector<std::unique_ptr<testing::ProgramRun>> runs;
    for (int i = 0; i < copies; ++i) runs.push_back(launch(environment));
    const auto stillRunning = [&] {
      int n = 0;
      for (auto& run : runs) n += run->running() ? 1 : 0;
      return n;
    };
    std::string failures;
    if (!waitUntil([&] { return stillRunning() <= 1; }, 30s)) failures += "several stayed; ";
    if (!waitUntil([&] { return nameOwned(); }, 30s)) failures += "no name on the bus; ";
    if (stillRunning() != 1) failures += std::to_string(stillRunning()) + " running; ";
    for (auto& run : runs) {
      if (run->running()) {
        const auto status = run->stop(SIGTERM);
        if (!status || !WIFEXITED(*status) || WEXITSTATUS(*status) != 0) failures += "bad end; ";
      } else if (const auto status = run->exitStatus();
                 !status || !WIFEXITED(*status) || WEXITSTATUS(*status) != 0) {
        failures += "a launch that left did not end with 0; ";
      }
    }
    if (!waitUntil([&] { return !nameOwned(); }, 30s)) failures += "the name stayed; ";
    return failures;
  }

  // Runs `rounds` rounds and reports each failing one.
  void expectOneEachRound(int copies, const std::vector<std::string>& environment) {
    int held = 0;
    for (int i = 0; i < rounds; ++i) {
      const std::string failures = round(copies, environment);
      EXPECT_EQ(failures, "") << "round " << i;
      held += failures.empty() ? 1 : 0;
    }
    EXPECT_EQ(held, rounds) << log();
  }

  std::string log() const { return testing::readFile(home_.path() / "vorlane.log").value_or(""); }
  std::filesystem::path home() const { return home_.path(); }

  testing::DesktopSession desktop_{testing::DesktopPieces{
      .compositor = false, .tray = false, .notifications = false, .sound = false}};
  testing::TempFolder home_;
  const testing::ProgramRun::Clock clock_{"UTC", testing::localTime("UTC", "2025-06-02 10:20:00"),
                                          1};
};

// The running copy is told to quit while a new one starts: the quitting one no longer answers,
// so the new one waits for the lock it lets go of and runs.
TEST_F(Launches, ARelaunchWhileTheRunningCopyQuitsLeavesTheNewOneRunning) {
  int held = 0;
  for (int i = 0; i < rounds; ++i) {
    auto old = launch({});
    ASSERT_TRUE(waitUntil([&] { return nameOwned(); }, 60s)) << log();
    const auto oldOwner = nameOwner();
    ::kill(old->pid(), SIGTERM);
    auto fresh = launch({});
    const bool oldEnded = waitUntil([&] { return !old->running(); }, 30s);
    const bool taken = waitUntil(
        [&] {
          const auto owner = nameOwner();
          return owner && owner != oldOwner;
        },
        60s);
    const bool freshRuns = fresh->running();
    EXPECT_TRUE(oldEnded && taken && freshRuns)
        << "round " << i << ": old ended " << oldEnded << ", name taken " << taken
        << ", new one running " << freshRuns;
    held += oldEnded && taken && freshRuns ? 1 : 0;
    fresh->stop(SIGTERM);
    ASSERT_TRUE(waitUntil([&] { return !nameOwned(); }, 30s));
  }
  EXPECT_EQ(held, rounds) << log();
  EXPECT_NE(log().find("this launch runs instead"), std::string::npos) << log();
}

TEST_F(Launches, OneRunsWhenTheLockPathIsAFolder) {
  std::filesystem::create_directories(home() / "runtime/vorlane.lock");
  expectOneEachRound(2, {});
  EXPECT_NE(
      log().find("instance lock " + (home() / "runtime/vorlane.lock").string() + " unavailable"),
      std::string::npos);
}

// Without any lock the session bus's name decides.
TEST_F(Launches, OneRunsWhenNoLockCanBeMadeAnywhere) {
  std::filesystem::create_directories(home() / "runtime/vorlane.lock");
  std::filesystem::create_directories(home() / ".config/vorlane/instance.lock");
  expectOneEachRound(2, {});
  expectOneEachRound(5, {});
}

TEST_F(Launches, OneRunsWhenTheRuntimeFolderDoesNotExist) {
  // Qt makes the folder while the first copy starts, so the second may find it there.
  expectOneEachRound(2, {"XDG_RUNTIME_DIR=" + (home() / "gone").string()});
}

// Unset, the lock sits beside the records; a first launch makes their folder for it.
TEST_F(Launches, WithoutARuntimeFolderTheFirstLaunchMakesTheRecordsFolderForTheLock) {
  testing::ProgramRun first(desktop_, home());
  std::filesystem::remove_all(home() / ".config");
  ASSERT_TRUE(first.start(clock_, {"XDG_RUNTIME_DIR=", "DONT_FAKE_MONOTONIC=1"}));
  ASSERT_TRUE(waitUntil([&] { return nameOwned(); }, 60s)) << log();
  EXPECT_TRUE(std::filesystem::is_regular_file(home() / ".config/vorlane/instance.lock"));
  EXPECT_EQ(log().find("unavailable"), std::string::npos) << log();
  first.stop(SIGTERM);
  ASSERT_TRUE(waitUntil([&] { return !nameOwned(); }, 30s));
  expectOneEachRound(2, {"XDG_RUNTIME_DIR="});
}

// With neither a lock nor a bus nothing can tell copies apart: each runs, and says once why.
TEST_F(Launches, WithNeitherLockNorBusACopyRunsAndSaysItCannotGuard) {
  std::filesystem::create_directories(home() / "runtime/vorlane.lock");
  std::filesystem::create_directories(home() / ".config/vorlane/instance.lock");
  auto run = launch({"DBUS_SESSION_BUS_ADDRESS=unix:path=" + (home() / "no-bus").string()});
  ASSERT_TRUE(run->waitForLine("Vorlane launching", 60s)) << log();
  EXPECT_TRUE(run->running()) << log();
  EXPECT_EQ(run->count("a second launch cannot be detected"), 1u) << log();
}

}  // namespace
}  // namespace vorlane
