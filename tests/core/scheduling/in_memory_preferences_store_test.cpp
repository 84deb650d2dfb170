#include "core/scheduling/in_memory_preferences_store.h"

#include <memory>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(InMemoryPreferencesStore, StartsFromTheGivenRecord) {
  EXPECT_EQ(InMemoryPreferencesStore().preferences(), Preferences());
  Preferences custom({.workMinutes = 45});
  EXPECT_EQ(InMemoryPreferencesStore(custom).preferences(), custom);
}

TEST(InMemoryPreferencesStore, ReadsAreCopiesAndWritesReplaceTheRecord) {
  auto store = std::make_shared<InMemoryPreferencesStore>();
  std::shared_ptr<PreferencesStore> otherHolder = store;

  Preferences copy = store->preferences();
  copy.speechEnabled = false;
  EXPECT_TRUE(otherHolder->preferences().speechEnabled);

  store->setPreferences(copy);
  EXPECT_FALSE(otherHolder->preferences().speechEnabled);
  EXPECT_EQ(otherHolder->preferences(), copy);
}

}  // namespace
}  // namespace vorlane
