#include "app/persistence/user_defaults_preferences_store.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "app/logging/log_capture.h"
#include "app/persistence/file_user_defaults.h"
#include "app/persistence/in_memory_user_defaults.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

// Counts what the store tells the outside world.
struct Watch {
  int notified = 0;
  int changes = 0;
  std::optional<Preferences> lastChange;

  void attach(UserDefaultsPreferencesStore& store) {
    store.addObserver([this](const Preferences&) { ++notified; });
    store.setOnChange([this](const Preferences& p) {
      ++changes;
      lastChange = p;
    });
  }
};

Preferences withWork(std::int64_t minutes) {
  Preferences p;
  p.workMinutes = minutes;
  return p;
}

TEST(UserDefaultsPreferencesStore, FirstLaunchUsesDefaultsAndWritesNothing) {
  InMemoryUserDefaults defaults;
  LogCapture log;
  UserDefaultsPreferencesStore store(defaults);
  EXPECT_EQ(store.preferences(), Preferences());
  EXPECT_EQ(defaults.writeCount("preferences"), 0);
  EXPECT_TRUE(log.lines().empty());
}

TEST(UserDefaultsPreferencesStore, RealFilesRoundTripAndKeepACorruptRecord) {
  testing::TempFolder temp;
  FileUserDefaults defaults(temp.path(), [] { return std::time_t{0}; });
  testing::writeFile(temp / "preferences.json", "{\"workMin");
  LogCapture log;
  Preferences changed = withWork(50);
  changed.voiceIdentifier = "flite:slt";
  changed.speechRate = 0.7f;
  {
    UserDefaultsPreferencesStore store(defaults);
    EXPECT_EQ(store.preferences(), Preferences());
    store.setPreferences(changed);
  }
  EXPECT_EQ(testing::readFile(temp / "preferences.json.unreadable-19700101T000000"), "{\"workMin");
  EXPECT_EQ(UserDefaultsPreferencesStore(defaults).preferences(), changed);
}

TEST(UserDefaultsPreferencesStore, SetterNotifiesOnlyRealChangesButAlwaysWritesAndCallsBack) {
  InMemoryUserDefaults defaults;
  UserDefaultsPreferencesStore store(defaults);
  Watch watch;
  watch.attach(store);

  store.setPreferences(Preferences());  // equal to the current record
  EXPECT_EQ(watch.notified, 0);
  EXPECT_EQ(watch.changes, 1);
  EXPECT_EQ(defaults.writeCount("preferences"), 1);

  store.modify([](Preferences& p) { p.launchAtLogin = true; });
  EXPECT_EQ(watch.notified, 1);
  EXPECT_EQ(watch.changes, 2);
  EXPECT_EQ(defaults.writeCount("preferences"), 2);
  EXPECT_TRUE(watch.lastChange->launchAtLogin);

  // An unencodable record: kept in memory, callback still runs, stored bytes stay, no log.
  const auto before = defaults.rawBytes("preferences");
  LogCapture log;
  store.modify([](Preferences& p) { p.speechRate = std::numeric_limits<float>::quiet_NaN(); });
  EXPECT_TRUE(std::isnan(store.preferences().speechRate));
  EXPECT_EQ(watch.changes, 3);
  EXPECT_EQ(defaults.rawBytes("preferences"), before);
  EXPECT_TRUE(log.lines().empty());
}

TEST(UserDefaultsPreferencesStore, CallbacksMaySetTheRecordAgain) {
  InMemoryUserDefaults defaults;
  UserDefaultsPreferencesStore store(defaults);
  store.setOnChange([&store](const Preferences& p) {
    if (p.workMinutes > 90) store.setPreferences(withWork(90));
  });
  store.setPreferences(withWork(500));
  EXPECT_EQ(store.preferences().workMinutes, 90);
  EXPECT_EQ(UserDefaultsPreferencesStore(defaults).preferences().workMinutes, 90);

  store.setOnChange({});
  store.setPreferences(withWork(30));  // no callback: just stored
  EXPECT_EQ(UserDefaultsPreferencesStore(defaults).preferences().workMinutes, 30);
}

// Regression for lost settings: a record that could not be read used to be replaced by the
// first write. It must give the defaults, then be moved aside before that write.
TEST(UserDefaultsPreferencesStore, UnreadableRecordIsMovedAsideBeforeTheFirstWrite) {
  const struct {
    const char* name;
    std::optional<std::string> bytes;  // none: the read itself fails
  } rows[] = {
      {"empty", ""},
      {"not JSON", "preferences!"},
      {"truncated", R"({"workMinutes":50,"speech)"},
      {"wrong shape", "[1,2,3]"},
      {"number beyond double", R"({"workMinutes":1e400})"},
      {"read failure", std::nullopt},
  };
  for (const auto& row : rows) {
    InMemoryUserDefaults defaults;
    defaults.setData("preferences", row.bytes.value_or("{\"workMinutes\":50}"));
    if (!row.bytes) defaults.makeUnreadable("preferences", "I/O error");
    const auto original = defaults.rawBytes("preferences");
    LogCapture log;

    UserDefaultsPreferencesStore store(defaults);
    EXPECT_EQ(store.preferences(), Preferences()) << row.name;
    EXPECT_EQ(defaults.rawBytes("preferences"), original) << row.name;
    EXPECT_TRUE(log.lines().empty()) << row.name << ": loading is silent";

    store.setPreferences(withWork(40));
    store.setPreferences(withWork(45));
    EXPECT_EQ(defaults.rawBytes("preferences.unreadable-1"), original) << row.name;
    EXPECT_FALSE(defaults.rawBytes("preferences.unreadable-2")) << row.name << ": set aside once";
    EXPECT_EQ(UserDefaultsPreferencesStore(defaults).preferences().workMinutes, 45) << row.name;
    ASSERT_EQ(log.lines().size(), 1u) << row.name;
    EXPECT_EQ(log.lines()[0].level, LogLevel::error);
    EXPECT_EQ(log.lines()[0].category, "lifecycle");
    EXPECT_EQ(log.lines()[0].message,
              "unreadable preferences moved aside to preferences.unreadable-1");
  }
}

TEST(UserDefaultsPreferencesStore, FailuresAreLoggedAndNeverLoseTheStoredRecord) {
  {
    // The unreadable record cannot be moved: the write is skipped until it can be.
    InMemoryUserDefaults defaults;
    defaults.setData("preferences", "garbage");
    UserDefaultsPreferencesStore store(defaults);
    LogCapture log;
    defaults.setFailing(true);
    store.setPreferences(withWork(40));
    EXPECT_EQ(defaults.rawBytes("preferences"), "garbage");
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].message.find("not saving"), std::string::npos);

    defaults.setFailing(false);
    store.setPreferences(withWork(41));
    EXPECT_EQ(defaults.rawBytes("preferences.unreadable-1"), "garbage");
    EXPECT_EQ(UserDefaultsPreferencesStore(defaults).preferences().workMinutes, 41);
  }
  {
    // A failed write keeps the record in memory, still calls back, and says so.
    InMemoryUserDefaults defaults;
    UserDefaultsPreferencesStore store(defaults);
    Watch watch;
    watch.attach(store);
    LogCapture log;
    defaults.setFailing(true);
    store.setPreferences(withWork(40));
    EXPECT_EQ(store.preferences().workMinutes, 40);
    EXPECT_EQ(watch.changes, 1);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].level, LogLevel::error);
    EXPECT_EQ(log.lines()[0].message.rfind("could not save preferences: ", 0), 0u);
  }
}

}  // namespace
}  // namespace vorlane
