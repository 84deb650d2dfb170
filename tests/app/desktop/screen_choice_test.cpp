#include "app/desktop/screen_choice.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const ScreenFrame left{"DP-1", 0, 0, 1920, 1080, 1.0};
const ScreenFrame right{"HDMI-1", 1920, 0, 2560, 1440, 1.0};
const ScreenFrame rightTwin{"HDMI-1", 4480, 0, 1280, 1024, 1.0};

TEST(ScreenChoice, PreferredIdentifierPicksTheFirstExactMatchElseTheMainScreen) {
  const std::vector<ScreenFrame> screens{left, right, rightTwin};
  struct Row {
    const char* name;
    std::optional<std::string> preferred;
    std::optional<std::size_t> activeScreen;
    std::size_t primary;
    ScreenFrame expected;
  };
  const Row rows[] = {
      {"match", "HDMI-1", std::nullopt, 0, right},
      {"two screens with the same identifier give the first", "HDMI-1", 2, 0, right},
      {"no identifier gives the screen of the active window", std::nullopt, 1, 0, right},
      {"no identifier and no active window gives the primary", std::nullopt, std::nullopt, 2,
       rightTwin},
      {"unknown identifier falls back to the main screen", "DP-9", 0, 1, left},
      {"identifiers compare exactly", "hdmi-1", std::nullopt, 0, left},
      {"active window off every screen gives the primary", std::nullopt, 7, 1, right},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(chooseTargetScreen(screens, row.preferred, row.activeScreen, row.primary),
              row.expected)
        << row.name;
  }
}

TEST(ScreenChoice, NoScreensGiveNoTarget) {
  EXPECT_EQ(chooseTargetScreen({}, "DP-1", 0, 0), std::nullopt);
  EXPECT_EQ(chooseTargetScreen({}, std::nullopt, std::nullopt, 0), std::nullopt);
}

TEST(ScreenChoice, PointsBelongToTheScreenWhoseHalfOpenRectangleHoldsThem) {
  const std::vector<ScreenFrame> screens{left, right};
  struct Row {
    double x;
    double y;
    std::optional<std::size_t> index;
  };
  const Row rows[] = {
      {0, 0, 0}, {1919.5, 1079.5, 0}, {1920, 0, 1}, {1920, 1080, 1},
      {1920, 1440, std::nullopt}, {-1, 10, std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(screenIndexContaining(screens, row.x, row.y), row.index) << row.x << "," << row.y;
  }
}

}  // namespace
}  // namespace vorlane
