#include "ui/preferences/binding/preferences_binding.h"

#include <gtest/gtest.h>

#include "tests/ui/preferences/recording_preferences_store.h"

namespace vorlane {
namespace {

TEST(PreferencesBinding, AnEditIsOneWholeWriteARedrawNeverWritesAndNoChangeWritesNothing) {
  testing::RecordingPreferencesStore store(Preferences({.workMinutes = 40}));
  PreferencesBinding binding(store);
  int redraws = 0;
  auto following = binding.follow([&](const Preferences&) {
    ++redraws;
    // A control set by the redraw that echoes its change back.
    binding.edit([](Preferences& p) { p.breakMinutes = 17; });
  });
  EXPECT_EQ(redraws, 1);
  EXPECT_TRUE(store.writes.empty());

  // A field changed elsewhere since the panel drew is kept by the next edit.
  store.changeElsewhere([](Preferences& p) { p.showCurrentTime = true; });
  EXPECT_EQ(redraws, 2);
  EXPECT_TRUE(store.writes.empty());

  binding.edit([](Preferences& p) { p.speechEnabled = false; });
  ASSERT_EQ(store.writes.size(), 1u);
  Preferences expected(Preferences({.workMinutes = 40}));
  expected.showCurrentTime = true;
  expected.speechEnabled = false;
  EXPECT_EQ(store.writes.back(), expected);
  EXPECT_EQ(redraws, 3);

  binding.edit([](Preferences& p) { p.speechEnabled = false; });
  EXPECT_EQ(store.writes.size(), 1u) << "nothing changed";
}

}  // namespace
}  // namespace vorlane
