#include "ui/tray/tray_ink.h"

namespace vorlane {
namespace {

// Relative luminance with the sRGB weights, on the stored channels (no gamma): enough to
// tell a dark panel from a light one.
bool isDark(const QColor& color) {
  const double luminance = 0.2126 * color.redF() + 0.7152 * color.greenF() + 0.0722 * color.blueF();
  return luminance < 0.5;
}

}  // namespace

QColor trayInk(std::optional<QColor> trayForeground, std::optional<QColor> panelBackground,
               QColor fallback) {
  if (trayForeground && trayForeground->isValid()) return *trayForeground;
  if (panelBackground && panelBackground->isValid()) {
    return QColor::fromRgba(isDark(*panelBackground) ? lightTrayInk : darkTrayInk);
  }
  return fallback;
}

bool panelHidden(const QRect& icon, const std::vector<QRect>& ownWindows) {
  return std::any_of(ownWindows.begin(), ownWindows.end(),
                     [&](const QRect& window) { return window.intersects(icon); });
}

}  // namespace vorlane
