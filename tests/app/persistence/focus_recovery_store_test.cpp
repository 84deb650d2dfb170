#include "app/persistence/focus_recovery_store.h"

#include <functional>

#include <gtest/gtest.h>

#include "app/persistence/file_user_defaults.h"
#include "app/persistence/in_memory_user_defaults.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

std::string repeated(std::string_view piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

FocusCheckpoint checkpoint() {
  return {{UUID::random(), "Draft the report", 600, 900, true}, "Outline part two", false, {}};
}

TEST(FocusRecoveryStore, RuleAppliesToSavesAndToStoredCheckpoints) {
  // One user-perceived character of two code points.
  const std::string accentedE = "e\xcc\x81";
  const struct {
    const char* name;
    std::function<void(FocusCheckpoint&)> change;
    bool accepted;
  } rows[] = {
      {"240-character next step", [&](auto& c) { c.nextStep = repeated(accentedE, 240); }, true},
      {"241-character next step", [&](auto& c) { c.nextStep = repeated(accentedE, 241); }, false},
      {"no remaining time", [](auto& c) { c.session.remaining = 0; }, false},
  };
  for (const auto& row : rows) {
    FocusCheckpoint value = checkpoint();
    row.change(value);
    InMemoryUserDefaults defaults;
    FocusRecoveryStore store(&defaults);
    try {
      store.save(value);
      EXPECT_TRUE(row.accepted) << row.name;
    } catch (const LocalJSONDocumentError& error) {
      EXPECT_FALSE(row.accepted) << row.name;
      EXPECT_EQ(error.failure(), LocalJSONDocumentFailure::invalid) << row.name;
    }

    // The same checkpoint found stored at launch.
    defaults.setData(FocusRecoveryStore::key, json::dump(value.toJson()));
    FocusRecoveryStore loaded(&defaults);
    EXPECT_EQ(loaded.document().value(), row.accepted ? std::optional(value) : std::nullopt)
        << row.name;
    EXPECT_EQ(loaded.document().errorMessage().has_value(), !row.accepted) << row.name;
  }
}

TEST(FocusRecoveryStore, RealFilesLeaveOutAnAbsentPriorityAndKeepBadDataUntilCleared) {
  testing::TempFolder temp;
  FileUserDefaults defaults(temp.path());
  const auto file = defaults.path(FocusRecoveryStore::key);
  FocusRecoveryStore store(&defaults);
  const FocusCheckpoint value = checkpoint();
  store.save(value);
  Json stored = json::parse(*testing::readFile(file));
  EXPECT_FALSE(stored.contains("priorityID"));
  EXPECT_EQ(FocusRecoveryStore(&defaults).document().value(), value);

  stored.erase("isStarter");
  testing::writeFile(file, json::dump(stored));
  FocusRecoveryStore blocked(&defaults);
  ASSERT_TRUE(blocked.document().errorMessage());
  EXPECT_THROW(blocked.save(value), LocalJSONDocumentError);
  EXPECT_EQ(testing::readFile(file), json::dump(stored));

  blocked.clear();
  EXPECT_FALSE(std::filesystem::exists(file));
  blocked.save(value);
  EXPECT_EQ(FocusRecoveryStore(&defaults).document().value(), value);
}

}  // namespace
}  // namespace vorlane
