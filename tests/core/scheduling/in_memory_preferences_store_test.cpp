#include "core/scheduling/in_memory_preferences_store.h"

#include <memory>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(InMemoryPreferencesStore, ReadsAreCopiesAndWritesReachEveryHolder) {
  auto store = std::make_shared<InMemoryPreferencesStore>(Preferences({.workMinutes = 45}));
  std::shared_ptr<PreferencesStore> otherHolder = store;

  Preferences copy = store->preferences();
  EXPECT_EQ(copy.workMinutes, 45);
  copy.speechEnabled = false;
  EXPECT_TRUE(otherHolder->preferences().speechEnabled);

  store->setPreferences(copy);
  EXPECT_EQ(otherHolder->preferences(), copy);
}

}  // namespace
}  // namespace vorlane
