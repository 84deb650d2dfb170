#include "ui/mascot_window/target_screen.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const ScreenInfo one{"1", {0, 0, 1920, 1080}, {0, 30, 1920, 1050}};
const ScreenInfo two{"2", {1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}};

struct FakeScreens : ScreenProvider {
  std::vector<ScreenInfo> list;
  std::size_t primary = 0;
  std::optional<std::size_t> active;
  std::vector<ScreenInfo> screens() override { return list; }
  std::size_t primaryIndex() override { return primary; }
  std::optional<std::size_t> activeWindowScreen() override { return active; }
};

TEST(TargetScreen, PreferredDisplayElseTheActiveWindowsElseThePrimaryElseAPlaceholder) {
  struct Row {
    std::vector<ScreenInfo> screens;
    std::optional<std::string> preferred;
    std::optional<std::size_t> active;
    std::size_t primary;
    std::string expected;
  };
  const Row rows[] = {
      {{one, two}, "2", std::nullopt, 0, "2"},
      {{one, two}, "9", std::nullopt, 0, "1"},  // no longer connected
      {{one, two}, std::nullopt, std::nullopt, 0, "1"},
      {{one, two}, std::nullopt, std::nullopt, 1, "2"},
      {{one, two}, std::nullopt, 1, 0, "2"},  // the display of the active window
      {{one, two}, "1", 1, 0, "1"},           // a choice wins over the active window
      {{one, two}, std::nullopt, 7, 9, "1"},  // stale indexes
      {{}, "2", std::nullopt, 0, ""},
  };
  for (const Row& row : rows) {
    FakeScreens fake;
    fake.list = row.screens;
    fake.primary = row.primary;
    fake.active = row.active;
    EXPECT_EQ(targetScreen(fake, row.preferred).id, row.expected)
        << row.preferred.value_or("none") << " " << row.active.value_or(99);
  }
  FakeScreens none;
  const ScreenInfo placeholder = targetScreen(none, std::nullopt);
  EXPECT_EQ(placeholder.availableGeometry, QRect(0, 0, 1, 1));
  EXPECT_EQ(targetScreen(none, std::nullopt).geometry, QRect(0, 0, 1, 1));
}

// Settings keyed by the display are never keyed by the placeholder.
TEST(TargetScreen, TheConnectedChoiceIsNoneWithoutADisplayAndTheSameChoiceOtherwise) {
  EXPECT_FALSE(connectedTargetScreen({}, std::string("1"), std::nullopt, 0).has_value());
  EXPECT_EQ(connectedTargetScreen({one, two}, std::string("2"), std::nullopt, 0), two);
  EXPECT_EQ(connectedTargetScreen({one, two}, std::string("gone"), 0, 1), one);
  EXPECT_EQ(connectedTargetScreen({one, two}, std::nullopt, std::nullopt, 1), two);
}

}  // namespace
}  // namespace vorlane
