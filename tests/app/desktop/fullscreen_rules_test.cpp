#include "app/desktop/fullscreen_rules.h"

#include <limits>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const ScreenFrame screen{"DP-1", 0, 0, 1920, 1080, 1.0};
constexpr long ownPid = 4242;

TEST(FullscreenRules, FrameMustMatchEveryMeasureWithinTwoPointsStrictly) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const ScreenFrame above{"HDMI-1", 0, -1080, 1920, 1080, 1.0}, retina{"eDP-1", 0, 0, 2880, 1800, 2.0};
  const std::tuple<const char*, ScreenFrame, WindowFrame, bool> rows[] = {
      {"1.9 off on every measure", screen, {1.9, -1.9, 1921.9, 1078.1}, true}, {"width 2.0 off", screen, {0, 0, 1922, 1080}, false},
      {"height 2.0 off", screen, {0, 0, 1920, 1078}, false}, {"left 2.0 off", screen, {2, 0, 1920, 1080}, false}, {"top 2.0 off", screen, {0, -2, 1920, 1080}, false},
      {"NaN width", screen, {0, 0, nan, 1080}, false}, {"NaN top", screen, {0, nan, 1920, 1080}, false}, {"screen above the primary one", above, {0, -1080, 1920, 1080}, true},
      {"primary-sized window on the screen above", above, {0, 0, 1920, 1080}, false},
      {"two points at ratio 2 is four pixels", retina, {3.9, 0, 2880, 1800}, true}, {"four pixels off at ratio 2", retina, {0, 0, 2876, 1800}, false}};
  for (const auto& [name, on, window, fills] : rows) EXPECT_EQ(frameFillsScreen(window, on), fills) << name;
}

TEST(FullscreenRules, OnlyAnotherProcessesNormalVisibleFullscreenWindowCountsAndOursIsLookedPast) {
  WindowFacts filling;
  filling.pid = 100, filling.isViewable = true, filling.isFullscreenState = true, filling.frame = WindowFrame{0, 0, 1920, 1080};
  const std::pair<void (*)(WindowFacts&), bool> rows[] = {
      {[](WindowFacts&) {}, true}, {[](WindowFacts& w) { w.pid.reset(); }, true} /* naming no process */,
      {[](WindowFacts& w) { w.pid = ownPid; }, false}, {[](WindowFacts& w) { w.isNormalType = false; }, false} /* dock */,
      {[](WindowFacts& w) { w.isViewable = false; }, false}, {[](WindowFacts& w) { w.isFullscreenState = false; }, false} /* tiling */,
      {[](WindowFacts& w) { w.isHidden = true; }, false}, {[](WindowFacts& w) { w.frame.reset(); }, false} /* unread frame */,
      {[](WindowFacts& w) { w.frame = WindowFrame{1920, 0, 1920, 1080}; }, false} /* full screen on another screen */};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    WindowFacts window = filling;
    rows[i].first(window);
    EXPECT_EQ(windowFillsScreen(window, screen, ownPid), rows[i].second) << "row " << i;
  }
  WindowFacts ours = filling;
  ours.pid = ownPid;  // looked past: only another window counts
  EXPECT_EQ(std::vector({anyWindowFillsScreen({}, screen, ownPid), anyWindowFillsScreen({ours}, screen, ownPid),
                         anyWindowFillsScreen({ours, filling}, screen, ownPid)}), std::vector({false, false, true}));
}

}  // namespace
}  // namespace vorlane
