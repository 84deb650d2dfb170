#include "app/persistence/focus_recovery_store.h"

#include <cmath>
#include <functional>
#include <tuple>

#include <gtest/gtest.h>

#include "app/persistence/file_user_defaults.h"
#include "app/persistence/in_memory_user_defaults.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

const std::string unreadableText =
    "Saved data could not be read and was preserved. Clear this record explicitly to start over.";

std::string repeated(std::string_view piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

FocusCheckpoint checkpoint() {
  return {{UUID::random(), "Draft the report", 600, 900, true}, "Outline section two", false,
          std::nullopt};
}

// One user-perceived character of three bytes and two code points.
constexpr std::string_view accentedE = "e\xcc\x81";

struct RuleRow {
  const char* name;
  std::function<void(FocusCheckpoint&)> change;
  bool accepted;
};

const RuleRow ruleRows[] = {
    {"240-character next step", [](auto& c) { c.nextStep = repeated(accentedE, 240); }, true},
    {"241-character next step", [](auto& c) { c.nextStep = repeated(accentedE, 241); }, false},
    {"no remaining time", [](auto& c) { c.session.remaining = 0; }, false},
    {"121-character goal", [](auto& c) { c.session.focus = repeated("a", 121); }, false},
    {"elapsed beyond a week", [](auto& c) { c.session.elapsed = 604801; }, false},
    {"with a priority", [](auto& c) { c.priorityID = UUID::random(); }, true},
};

TEST(FocusRecoveryStore, RuleAppliesToSavesAndToStoredCheckpoints) {
  for (const RuleRow& row : ruleRows) {
    FocusCheckpoint value = checkpoint();
    row.change(value);

    InMemoryUserDefaults defaults;
    FocusRecoveryStore store(&defaults);
    if (row.accepted) {
      store.save(value);
      EXPECT_EQ(store.document().value(), value) << row.name;
    } else {
      try {
        store.save(value);
        ADD_FAILURE() << row.name << ": saved";
      } catch (const LocalJSONDocumentError& error) {
        EXPECT_EQ(error.failure(), LocalJSONDocumentFailure::invalid) << row.name;
      }
      EXPECT_EQ(defaults.rawBytes(FocusRecoveryStore::key), std::nullopt) << row.name;
    }

    // The same checkpoint found stored at launch.
    const std::string bytes = json::dump(value.toJson());
    defaults.setData(FocusRecoveryStore::key, bytes);
    FocusRecoveryStore loaded(&defaults);
    if (row.accepted) {
      EXPECT_EQ(loaded.document().value(), value) << row.name;
      EXPECT_FALSE(loaded.document().errorMessage()) << row.name;
    } else {
      EXPECT_EQ(loaded.document().value(), std::nullopt) << row.name;
      EXPECT_EQ(loaded.document().errorMessage(), unreadableText) << row.name;
      EXPECT_THROW(loaded.save(checkpoint()), LocalJSONDocumentError) << row.name;
      EXPECT_EQ(defaults.rawBytes(FocusRecoveryStore::key), bytes) << row.name << ": kept";
    }
  }
}

TEST(FocusRecoveryStore, StoredFormLeavesOutAnAbsentPriority) {
  InMemoryUserDefaults defaults;
  FocusRecoveryStore store(&defaults);
  FocusCheckpoint value = checkpoint();
  store.save(value);
  const Json stored = json::parse(*defaults.rawBytes(FocusRecoveryStore::key));
  EXPECT_FALSE(stored.contains("priorityID"));
  EXPECT_EQ(stored["nextStep"], value.nextStep);
  EXPECT_EQ(stored["session"]["remaining"], 600);

  const std::tuple<const char*, std::function<void(Json&)>, bool> rows[] = {
      {"null priority", [](Json& j) { j["priorityID"] = nullptr; }, true},
      {"bad priority", [](Json& j) { j["priorityID"] = "not-a-uuid"; }, false},
      {"starter flag as text", [](Json& j) { j["isStarter"] = "yes"; }, false},
      {"no starter flag", [](Json& j) { j.erase("isStarter"); }, false},
  };
  for (const auto& [name, edit, readable] : rows) {
    Json edited = stored;
    edit(edited);
    defaults.setData(FocusRecoveryStore::key, json::dump(edited));
    FocusRecoveryStore loaded(&defaults);
    EXPECT_EQ(loaded.document().value().has_value(), readable) << name;
    EXPECT_EQ(loaded.document().errorMessage().has_value(), !readable) << name;
  }
}

TEST(FocusRecoveryStore, CorruptFileIsKeptUntilClearedOnRealFiles) {
  testing::TempFolder temp;
  FileUserDefaults defaults(temp.path());
  const auto file = defaults.path(FocusRecoveryStore::key);
  FocusCheckpoint tooLong = checkpoint();
  tooLong.nextStep = repeated("x", 241);
  testing::writeFile(file, json::dump(tooLong.toJson()));

  FocusRecoveryStore store(&defaults);
  ASSERT_EQ(store.document().errorMessage(), unreadableText);
  EXPECT_THROW(store.save(checkpoint()), LocalJSONDocumentError);
  EXPECT_EQ(testing::readFile(file), json::dump(tooLong.toJson()));

  store.clear();
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(store.document().errorMessage());
  const FocusCheckpoint value = checkpoint();
  store.save(value);
  EXPECT_EQ(FocusRecoveryStore(&defaults).document().value(), value);
}

}  // namespace
}  // namespace vorlane
