#include "app/persistence/daily_priorities_store.h"

#include <functional>
#include <system_error>

#include <gtest/gtest.h>

#include "app/persistence/file_user_defaults.h"
#include "app/persistence/in_memory_user_defaults.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

const std::string key = DailyPrioritiesStore::key;
const Calendar newYork("America/New_York", "en_US");
const Date today(800000000);

std::string planOf(std::size_t count, bool sameID = false) {
  std::vector<DailyPriority> items;
  const UUID shared = UUID::random();
  for (std::size_t i = 0; i < count; ++i) {
    items.push_back({sameID ? shared : UUID::random(), "Read", Date(0), {}, std::nullopt});
  }
  return json::dump(DailyPriorities(items).toJson());
}

auto adding(const char* title) {
  return [title](DailyPriorities& plan) { plan.add(title, today, newYork); };
}

TEST(DailyPrioritiesStore, StoredPlanBreakingTheLimitsIsKeptAndBlocksChangesUntilCleared) {
  for (const auto& [name, bytes] : {std::pair{"201 items", planOf(201)},
                                    std::pair{"duplicate ids", planOf(2, true)}}) {
    testing::TempFolder temp;
    FileUserDefaults defaults(temp.path());
    const auto file = defaults.path(key);
    testing::writeFile(file, bytes);

    DailyPrioritiesStore store(&defaults);
    EXPECT_TRUE(store.plan().items().empty()) << name;
    EXPECT_EQ(store.errorMessage(), errorDescription(LocalJSONDocumentFailure::unreadable));
    EXPECT_THROW(store.apply(adding("Plan")), LocalJSONDocumentError) << name;
    EXPECT_EQ(testing::readFile(file), bytes) << name;

    store.clear();
    EXPECT_FALSE(store.errorMessage()) << name;
    store.apply(adding("Plan"));
    const DailyPrioritiesStore reloaded(&defaults);
    EXPECT_EQ(reloaded.plan(), store.plan()) << name;
    EXPECT_EQ(reloaded.plan().today(today, newYork).size(), 1u) << name;
  }
}

TEST(DailyPrioritiesStore, ChangeIsSavedBeforeItIsPublished) {
  const struct {
    const char* name;
    std::function<void(DailyPriorities&)> change;
    bool failingWrite;
    // The sentence shown; none for the database's own error.
    std::optional<std::string_view> description;
  } rows[] = {
      {"fourth priority of the day", adding("Four"), false,
       DailyPriorities::Error(DailyPriorities::Error::Case::full).errorDescription()},
      {"duplicate id", [](auto& p) { p = DailyPriorities({p.items()[0], p.items()[0]}); }, false,
       "The change contains invalid data. Nothing was saved."},
      {"disk full", [](auto& p) { p.remove(p.items()[0].id); }, true, std::nullopt},
  };
  for (const auto& row : rows) {
    InMemoryUserDefaults defaults;
    DailyPrioritiesStore store(&defaults);
    int published = 0;
    const auto subscription = store.changes().subscribe([&] {
      EXPECT_EQ(store.document().value(), store.plan()) << "published before saving";
      ++published;
    });
    for (const char* title : {"One", "Two", "Three"}) store.apply(adding(title));
    const DailyPriorities before = store.plan();
    const auto stored = defaults.rawBytes(key);

    defaults.setFailing(row.failingWrite);
    try {
      store.apply(row.change);
      ADD_FAILURE() << row.name << ": applied";
    } catch (const std::system_error&) {
      EXPECT_FALSE(row.description) << row.name;
    } catch (const std::exception& error) {
      EXPECT_EQ(error.what(), row.description) << row.name;
    }
    EXPECT_EQ(store.plan(), before) << row.name;
    EXPECT_EQ(defaults.rawBytes(key), stored) << row.name;
    EXPECT_EQ(published, 3) << row.name;
  }
}

}  // namespace
}  // namespace vorlane
