#include "platform/desktop/windows/fullscreen_rules.h"

#include <gtest/gtest.h>

#include <limits>

namespace vorlane {
namespace {

const ScreenFrame screen{"DP-1", 0, 0, 1920, 1080, 1.0};
constexpr long ownPid = 4242;

TEST(FullscreenRules, FrameMustMatchEveryMeasureWithinTwoPointsStrictly) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const ScreenFrame above{"HDMI-1", 0, -1080, 1920, 1080, 1.0};
  const ScreenFrame retina{"eDP-1", 0, 0, 2880, 1800, 2.0};
  const std::tuple<const char*, ScreenFrame, WindowFrame, bool> rows[] = {
      {"1.9 off on every measure", screen, {1.9, -1.9, 1921.9, 1078.1}, true},
      {"width 2.0 off", screen, {0, 0, 1922, 1080}, false},
      {"height 2.0 off", screen, {0, 0, 1920, 1078}, false},
      {"left 2.0 off", screen, {2, 0, 1920, 1080}, false},
      {"top 2.0 off", screen, {0, -2, 1920, 1080}, false},
      {"NaN width", screen, {0, 0, nan, 1080}, false},
      {"NaN top", screen, {0, nan, 1920, 1080}, false},
      {"screen above the primary one", above, {0, -1080, 1920, 1080}, true},
      {"primary-sized window on the screen above", above, {0, 0, 1920, 1080}, false},
      {"two points at ratio 2 is four pixels", retina, {3.9, 0, 2880, 1800}, true},
      {"four pixels off at ratio 2", retina, {0, 0, 2876, 1800}, false},
  };
  for (const auto& [name, on, window, fills] : rows) {
    EXPECT_EQ(frameFillsScreen(window, on), fills) << name;
  }
}

TEST(FullscreenRules, OnlyAnotherProcessesNormalVisibleFullscreenWindowCountsAndOursIsLookedPast) {
  WindowFacts filling;
  filling.pid = 100;
  filling.isViewable = true;
  filling.isFullscreenState = true;
  filling.frame = WindowFrame{0, 0, 1920, 1080};
  using W = WindowFacts;
  const std::tuple<const char*, void (*)(WindowFacts&), bool> rows[] = {
      {"as is", [](W&) {}, true},
      {"naming no process", [](W& w) { w.pid.reset(); }, true},
      {"ours", [](W& w) { w.pid = ownPid; }, false},
      {"a dock", [](W& w) { w.isNormalType = false; }, false},
      {"not viewable", [](W& w) { w.isViewable = false; }, false},
      {"tiled, not full screen", [](W& w) { w.isFullscreenState = false; }, false},
      {"hidden", [](W& w) { w.isHidden = true; }, false},
      {"unread frame", [](W& w) { w.frame.reset(); }, false},
      {"on another screen", [](W& w) { w.frame->x = 1920; }, false},
  };
  for (const auto& [name, change, fills] : rows) {
    WindowFacts window = filling;
    change(window);
    EXPECT_EQ(windowFillsScreen(window, screen, ownPid), fills) << name;
  }
  WindowFacts ours = filling;
  ours.pid = ownPid;  // looked past: only another window counts
  EXPECT_FALSE(anyWindowFillsScreen({}, screen, ownPid));
  EXPECT_FALSE(anyWindowFillsScreen({ours}, screen, ownPid));
  EXPECT_TRUE(anyWindowFillsScreen({ours, filling}, screen, ownPid));
}

}  // namespace
}  // namespace vorlane
