#include "ui/mascot_window/column_geometry.h"

#include <algorithm>
#include <cmath>

namespace vorlane {

QRect columnFrame(const QRect& available, const MascotPlacement& placement) {
  const double x = placement.originX(available.x(), available.width());
  const int width = std::min(std::max(available.width(), 1), int(MascotPlacement::columnWidth));
  return QRect(int(std::lround(x)), available.y(), width, std::max(available.height(), 1));
}

double autoHiddenMenuBarInset(const ScreenInfo& screen) {
  return screen.availableGeometry.y() - screen.geometry.y() >= 1 ? 0 : statusBarThickness;
}

double characterTopInset(const ScreenInfo& screen, const MascotPlacement& placement) {
  return placement.topInset(screen.availableGeometry.height(), autoHiddenMenuBarInset(screen));
}

}  // namespace vorlane
