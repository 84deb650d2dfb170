#include "platform/session/launch_at_login_setting.h"

#include <gtest/gtest.h>

#include "tests/support/fake_login_item.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"

namespace vorlane {
namespace {

// Only a change of the setting is looked at, and only a disagreement with the entry writes;
// another field (a step of the placement slider, a work length) leaves the entry unread.
TEST(LaunchAtLoginSetting, FollowsChangesOnlyWhereTheEntryDisagrees) {
  struct Row {
    const char* name;
    bool entryEnabled;
    bool failing;
    std::function<void(Preferences&)> change;
    int looks;
    int writes;
    std::vector<std::string> lines;
  };
  const auto enable = [](Preferences& p) { p.launchAtLogin = true; };
  const auto unrelated = [](Preferences& p) { p.workMinutes = 40; };
  const auto placement = [](Preferences& p) {
    p.mascotPlacements.insert_or_assign("DP-1", MascotPlacement(0.4, 0));
  };
  const Row rows[] = {
      {"enabled", false, false, enable, 1, 1, {"launch at login set to true"}},
      {"entry already there", true, false, enable, 1, 0, {}},
      {"another field, entry agrees", false, false, unrelated, 0, 0, {}},
      {"another field, entry disagrees", true, false, unrelated, 0, 0, {}},
      {"a placement", true, false, placement, 0, 0, {}},
      {"refused", false, true, enable, 1, 1, {"launch at login failed: <private>"}},
      {"equal record", false, false, [](Preferences&) {}, 0, 0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    InMemoryPreferencesStore store;
    LoginItemEntry entry{.enabled = row.entryEnabled, .failing = row.failing};
    int made = 0;
    const LaunchAtLoginSetting setting(store, [&] {
      ++made;
      return std::make_unique<FakeLoginItem>(entry);
    });
    const LogCapture log;
    store.modify(row.change);
    EXPECT_EQ(entry.looks, row.looks);
    EXPECT_EQ(entry.writes, row.writes);
    EXPECT_EQ(logMessages(log, "lifecycle"), row.lines);
    EXPECT_EQ(made, row.looks > 0 ? 1 : 0) << "made on the first change, not before";
  }
}

TEST(LaunchAtLoginSetting, WithoutLoginItemsEveryChangeSaysSo) {
  InMemoryPreferencesStore store;
  const LaunchAtLoginSetting setting(store, [] { return nullptr; });
  const LogCapture log;
  store.modify([](Preferences& p) { p.launchAtLogin = true; });
  store.modify([](Preferences& p) { p.workMinutes = 30; });
  EXPECT_EQ(logMessages(log, "lifecycle"),
            (std::vector<std::string>{"launch at login failed: <private>",
                                      "launch at login failed: <private>"}));
}

// The reason of a failure stays for the preferences window until an attempt succeeds or
// finds nothing to do, and each new reason is announced once.
TEST(LaunchAtLoginSetting, KeepsTheLastFailureUntilAnAttemptSucceeds) {
  InMemoryPreferencesStore store;
  LoginItemEntry entry{.failing = true};
  LaunchAtLoginSetting setting(store, [&] { return std::make_unique<FakeLoginItem>(entry); });
  std::vector<std::string> announced;
  const auto subscription =
      setting.failureChanges().subscribe([&](const std::string& r) { announced.push_back(r); });
  EXPECT_EQ(setting.failure(), "");

  store.modify([](Preferences& p) { p.launchAtLogin = true; });
  EXPECT_EQ(setting.failure(), "Permission denied");
  store.modify([](Preferences& p) { p.workMinutes = 31; });
  EXPECT_EQ(setting.failure(), "Permission denied") << "the same reason again";

  entry.failing = false;
  store.modify([](Preferences& p) { p.workMinutes = 32; });
  EXPECT_TRUE(entry.enabled) << "the next write tried again";
  EXPECT_EQ(setting.failure(), "");
  EXPECT_EQ(announced, (std::vector<std::string>{"Permission denied", ""}));
}

TEST(LaunchAtLoginSetting, WithoutLoginItemsTheFailureSaysWhy) {
  InMemoryPreferencesStore store;
  const LaunchAtLoginSetting setting(store, [] { return nullptr; });
  store.modify([](Preferences& p) { p.launchAtLogin = true; });
  EXPECT_EQ(setting.failure(), "no home folder");
}

}  // namespace
}  // namespace vorlane
