#include "platform/desktop/windows/fullscreen_rules.h"

#include <algorithm>
#include <cmath>

namespace vorlane {

namespace {

// False for NaN as well, since every comparison with NaN is false.
bool within(double a, double b, double tolerance) { return std::fabs(a - b) < tolerance; }

}  // namespace

double fullscreenTolerance(const ScreenFrame& screen) {
  const double ratio = std::isfinite(screen.devicePixelRatio) && screen.devicePixelRatio > 0
                           ? screen.devicePixelRatio
                           : 1.0;
  return 2.0 * ratio;
}

bool frameFillsScreen(const WindowFrame& window, const ScreenFrame& screen) {
  const double tolerance = fullscreenTolerance(screen);
  return within(window.width, screen.width, tolerance) &&
         within(window.height, screen.height, tolerance) && within(window.x, screen.x, tolerance) &&
         within(window.y, screen.y, tolerance);
}

bool windowFillsScreen(const WindowFacts& window, const ScreenFrame& screen, long ownPid) {
  if (window.pid && *window.pid == ownPid) return false;
  if (!window.isNormalType || !window.isViewable) return false;
  if (!window.isFullscreenState || window.isHidden) return false;
  return window.frame && frameFillsScreen(*window.frame, screen);
}

bool anyWindowFillsScreen(const std::vector<WindowFacts>& windows, const ScreenFrame& screen,
                          long ownPid) {
  return std::any_of(windows.begin(), windows.end(),
                     [&](const WindowFacts& w) { return windowFillsScreen(w, screen, ownPid); });
}

}  // namespace vorlane
