#include "app/desktop/screen_state_rules.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ScreenStateRules, DpmsAsleepOnlyWhenEnabledAndNotOn) {
  EXPECT_FALSE(dpmsSaysAsleep(true, 0));   // on
  EXPECT_TRUE(dpmsSaysAsleep(true, 1));    // standby
  EXPECT_TRUE(dpmsSaysAsleep(true, 2));    // suspend
  EXPECT_TRUE(dpmsSaysAsleep(true, 3));    // off
  EXPECT_FALSE(dpmsSaysAsleep(false, 3));  // DPMS disabled: the level means nothing
}

TEST(ScreenStateRules, AnySourceSayingAsleepOrLockedWinsAndUnreadSourcesNeverDo) {
  struct Row {
    const char* name;
    ScreenStateReadings readings;
    bool unavailable;
  };
  const Row rows[] = {
      {"nothing read", {}, false},
      {"everything fine", {false, false, false, true, false}, false},
      {"display asleep, session unlocked", {true, false, false, true, false}, true},
      {"locked, display awake", {false, false, true, true, false}, true},
      {"session not active (switched user)", {false, false, false, false, false}, true},
      {"X screen saver on", {std::nullopt, true, std::nullopt, std::nullopt, std::nullopt}, true},
      {"D-Bus screen saver active", {std::nullopt, std::nullopt, std::nullopt, std::nullopt, true},
       true},
      {"only the session's activity unread", {false, false, false, std::nullopt, false}, false},
  };
  for (const Row& row : rows) EXPECT_EQ(screenUnavailable(row.readings), row.unavailable) << row.name;
}

}  // namespace
}  // namespace vorlane
