#include "app/desktop/screen_state_rules.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ScreenStateRules, DpmsAsleepOnlyWhenEnabledAndNotOn) {
  EXPECT_FALSE(dpmsSaysAsleep(true, 0));   // on
  EXPECT_TRUE(dpmsSaysAsleep(true, 1));    // standby
  EXPECT_TRUE(dpmsSaysAsleep(true, 3));    // off
  EXPECT_FALSE(dpmsSaysAsleep(false, 3));  // DPMS disabled: the level means nothing
}

TEST(ScreenStateRules, AnySourceSayingAsleepOrLockedWinsAndUnreadSourcesNeverDo) {
  const std::pair<ScreenStateReadings, bool> rows[] = {
      {{}, false}, {{false, false, false, true, false}, false}, {{true, false, false, true, false}, true},
      {{false, false, true, true, false}, true}, {{false, false, false, false, false}, true},  // another user
      {{std::nullopt, true, std::nullopt, std::nullopt, std::nullopt}, true},
      {{std::nullopt, std::nullopt, std::nullopt, std::nullopt, true}, true},
      {{false, false, false, std::nullopt, false}, false}};
  for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(screenUnavailable(rows[i].first), rows[i].second) << "row " << i;
}

}  // namespace
}  // namespace vorlane
