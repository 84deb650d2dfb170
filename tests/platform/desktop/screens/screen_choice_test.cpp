#include "platform/desktop/screens/screen_choice.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ScreenChoice, PreferredIdentifierPicksTheFirstExactMatchElseTheActiveWindowsOrTheMainScreen) {
  const ScreenFrame left{"DP-1", 0, 0, 1920, 1080, 1.0};
  const ScreenFrame right{"HDMI-1", 1920, 0, 2560, 1440, 1.0};
  const ScreenFrame twin{"HDMI-1", 4480, 0, 1280, 1024, 1.0};
  struct Row {
    const char* name;
    std::optional<std::string> preferred;
    std::optional<std::size_t> active;
    std::size_t primary;
    ScreenFrame expected;
  };
  const Row rows[] = {
      {"two screens with the same identifier give the first", "HDMI-1", 2, 0, right},
      {"no identifier gives the screen of the active window", std::nullopt, 1, 0, right},
      {"no identifier and no active window gives the primary", std::nullopt, std::nullopt, 2, twin},
      {"unknown identifier falls back to the main screen", "DP-9", 0, 1, left},
      {"identifiers compare exactly", "hdmi-1", std::nullopt, 0, left},
      {"active window off every screen gives the primary", std::nullopt, 7, 1, right},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(chooseTargetScreen({left, right, twin}, row.preferred, row.active, row.primary),
              row.expected)
        << row.name;
  }
  EXPECT_EQ(chooseTargetScreen({}, "DP-1", 0, 0), std::nullopt);
  // Half-open rectangles: the right and bottom edges belong to the next screen or none.
  const std::tuple<double, double, std::optional<std::size_t>> points[] = {
      {1919.5, 1079.5, 0},        {1920, 0, 1},           {1920, 1080, 1},
      {1920, 1440, std::nullopt}, {-1, 10, std::nullopt},
  };
  for (const auto& [x, y, index] : points) {
    EXPECT_EQ(screenIndexContaining({left, right}, x, y), index) << x << "," << y;
  }
}

}  // namespace
}  // namespace vorlane
