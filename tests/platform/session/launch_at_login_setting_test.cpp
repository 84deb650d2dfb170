#include "platform/session/launch_at_login_setting.h"

#include <gtest/gtest.h>

#include <system_error>

#include "core/settings/in_memory_preferences_store.h"
#include "platform/logging/log_capture.h"
#include "tests/support/log_lines.h"

namespace vorlane {
namespace {

struct Entry {
  bool enabled = false;
  bool failing = false;
  int looks = 0;
  int writes = 0;
};

class FakeLoginItem final : public LaunchAtLoginService {
 public:
  explicit FakeLoginItem(Entry& entry) : entry_(entry) {}
  LaunchAtLoginStatus status() override {
    ++entry_.looks;
    return entry_.enabled ? LaunchAtLoginStatus::enabled : LaunchAtLoginStatus::notRegistered;
  }
  void registerApp() override { write(true); }
  void unregisterApp() override { write(false); }

 private:
  void write(bool enabled) {
    ++entry_.writes;
    if (entry_.failing) throw std::system_error(EACCES, std::generic_category());
    entry_.enabled = enabled;
  }
  Entry& entry_;
};

// Only a record that differs is looked at, and only a disagreement with the entry writes.
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
  const Row rows[] = {
      {"enabled", false, false, enable, 1, 1, {"launch at login set to true"}},
      {"entry already there", true, false, enable, 1, 0, {}},
      {"another field, entry agrees", false, false, unrelated, 1, 0, {}},
      {"another field, entry disagrees", true, false, unrelated, 1, 1,
       {"launch at login set to false"}},
      {"refused", false, true, enable, 1, 1, {"launch at login failed: <private>"}},
      {"equal record", false, false, [](Preferences&) {}, 0, 0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    InMemoryPreferencesStore store;
    Entry entry{.enabled = row.entryEnabled, .failing = row.failing};
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

}  // namespace
}  // namespace vorlane
