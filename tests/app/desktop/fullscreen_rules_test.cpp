#include "app/desktop/fullscreen_rules.h"

#include <limits>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr long ownPid = 4242;
const ScreenFrame screen{"DP-1", 0, 0, 1920, 1080, 1.0};

TEST(FullscreenRules, FrameMustMatchEveryMeasureWithinTwoPointsStrictly) {
  const ScreenFrame above{"HDMI-1", 0, -1080, 1920, 1080, 1.0}, retina{"eDP-1", 0, 0, 2880, 1800, 2.0};
  struct Row { const char* name; ScreenFrame screen; WindowFrame window; bool fills; };
  const Row rows[] = {
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
  for (const Row& row : rows) EXPECT_EQ(frameFillsScreen(row.window, row.screen), row.fills) << row.name;
}

TEST(FullscreenRules, OnlyAnotherProcessesNormalVisibleFullscreenWindowCounts) {
  WindowFacts filling;
  filling.pid = 100, filling.isViewable = true, filling.isFullscreenState = true;
  filling.frame = WindowFrame{0, 0, 1920, 1080};
  struct Row { const char* name; void (*change)(WindowFacts&); bool counts; };
  const Row rows[] = {
      {"another process's full-screen window", [](WindowFacts&) {}, true},
      {"a window naming no process", [](WindowFacts& w) { w.pid.reset(); }, true},
      {"our own window", [](WindowFacts& w) { w.pid = ownPid; }, false},
      {"a dock or overlay", [](WindowFacts& w) { w.isNormalType = false; }, false},
      {"an unmapped window", [](WindowFacts& w) { w.isViewable = false; }, false},
      {"screen-sized without the full-screen state (tiling)", [](WindowFacts& w) { w.isFullscreenState = false; }, false},
      {"a minimised window", [](WindowFacts& w) { w.isHidden = true; }, false},
      {"a frame that could not be read", [](WindowFacts& w) { w.frame.reset(); }, false},
      {"full screen on another screen", [](WindowFacts& w) { w.frame = WindowFrame{1920, 0, 1920, 1080}; }, false},
  };
  for (const Row& row : rows) {
    WindowFacts window = filling;
    row.change(window);
    EXPECT_EQ(windowFillsScreen(window, screen, ownPid), row.counts) << row.name;
  }
  WindowFacts ours = filling;
  ours.pid = ownPid;
  EXPECT_FALSE(anyWindowFillsScreen({}, screen, ownPid));
  EXPECT_FALSE(anyWindowFillsScreen({ours}, screen, ownPid));
  EXPECT_TRUE(anyWindowFillsScreen({ours, filling}, screen, ownPid));  // looks past our own window
}

}  // namespace
}  // namespace vorlane
