#include "core/contracts/choreography.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

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

TEST(Choreography, PresetTimings) {
  using C = Choreography::Celebration;
  const std::tuple<const char*, Choreography, Choreography, double> rows[] = {
      {"standard", Choreography::standard(), {1.6, 3.8, 1.6, C::none}, 7.0},
      {"celebratory", Choreography::celebratory(), {1.6, 5.5, 1.6, C::jumpAndShout}, 8.7},
      {"triumphant", Choreography::triumphant(), {1.3, 6.5, 1.6, C::triumph}, 9.4},
      {"brief", Choreography::brief(), {1.2, 2.0, 1.2, C::none}, 4.4},
  };
  for (const auto& [name, preset, expected, total] : rows) {
    EXPECT_EQ(preset, expected) << name;
    EXPECT_NEAR(preset.total(), total, 1e-12) << name;
  }
}

}  // namespace
}  // namespace vorlane
