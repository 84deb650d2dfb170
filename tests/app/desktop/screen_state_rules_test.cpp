#include "app/desktop/screen_state_rules.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ScreenStateRules, AnySourceSayingAsleepOrLockedWinsAndUnreadSourcesNeverDo) {
  EXPECT_EQ(std::vector({dpmsSaysAsleep(true, 0), dpmsSaysAsleep(true, 1), dpmsSaysAsleep(true, 3), dpmsSaysAsleep(false, 3)}),
            std::vector({false, true, true, false}));  // DPMS on, standby, off, and disabled (the level means nothing)
  const std::pair<ScreenStateReadings, bool> rows[] = {
      {{}, false}, {{false, false, false, true, false}, false}, {{true, false, false, true, false}, true},
      {{false, false, true, true, false}, true}, {{false, false, false, false, false}, true},  // another user
      {{std::nullopt, true, std::nullopt, std::nullopt, std::nullopt}, true},
      {{std::nullopt, std::nullopt, std::nullopt, std::nullopt, true}, true}, {{false, false, false, std::nullopt, false}, false}};
  for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(screenUnavailable(rows[i].first), rows[i].second) << "row " << i;
}

}  // namespace
}  // namespace vorlane
