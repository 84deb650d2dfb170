#include "core/contracts/choreography.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane {
namespace {

TEST(Choreography, ReadingHoldGrowsWithTheTextBetweenItsBounds) {
  const auto hold = [](std::size_t characters, const std::string& unit = "a") {
    std::string text;
    for (std::size_t i = 0; i < characters; ++i) text += unit;
    return Choreography::reading(text).hold;
  };
  EXPECT_EQ(hold(0), 3.8);
  EXPECT_EQ(hold(35), 3.8);
  EXPECT_NEAR(hold(36), 3.84, 1e-9);
  EXPECT_NEAR(hold(115), 8.975, 1e-9);
  EXPECT_EQ(hold(116), 9.0);
  EXPECT_EQ(hold(1000), 9.0);
  // Each visible character counts once, however many code points it takes.
  EXPECT_NEAR(hold(36, "\U0001F468\u200D\U0001F469\u200D\U0001F467"), 3.84, 1e-9);
  EXPECT_NEAR(hold(36, "e\u0301"), 3.84, 1e-9);
  EXPECT_EQ(Choreography::reading("").total(), 7.0);
}

}  // namespace
}  // namespace vorlane
