// Two launches in one session: the second finds the first, asks it to show itself, and ends
// with 0; the first goes on and sends the mascot down as "Show me" does.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>

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
  const testing::ProgramRun::Clock clock{"UTC", testing::localTime("UTC", "2025-06-02 10:20:00"), 1};
  testing::ProgramRun first(desktop, home.path());
  ASSERT_TRUE(first.start(clock, {"DONT_FAKE_MONOTONIC=1"}));
  // Reachable once the name is on the bus.
  ASSERT_TRUE(waitUntil(
      [&] {
        return desktop.shell("dbus-send --session --print-reply --dest=org.freedesktop.DBus "
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

}  // namespace
}  // namespace vorlane
