#include "ui/tray/tray_ink.h"

#include <algorithm>

namespace vorlane {
namespace {

// Relative luminance with the sRGB weights, on the stored channels (no gamma): enough to
// tell a dark panel from a light one.
bool isDark(const QColor& color) {
  const double luminance = 0.2126 * color.redF() + 0.7152 * color.greenF() + 0.0722 * color.blueF();
  return luminance < 0.5;
}

// The pixels of `image` that are not fully transparent, in the pixels of the area it shows
// (at `origin`, scaled by the image's own ratio), one run of a row at a time.
QRegion drawnPixels(const QImage& image, QPoint origin) {
  const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
  const qreal ratio = pixels.devicePixelRatio() > 0 ? pixels.devicePixelRatio() : 1.0;
  const auto place = [&](int x, int y, int width) {
    return QRectF(origin.x() + x / ratio, origin.y() + y / ratio, width / ratio, 1 / ratio)
        .toAlignedRect();
  };
  QRegion drawn;
  for (int y = 0; y < pixels.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
    for (int x = 0; x < pixels.width();) {
      if (qAlpha(row[x]) == 0) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < pixels.width() && qAlpha(row[x]) != 0) ++x;
      drawn += place(start, y, x - start);
    }
  }
  return drawn;
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

QRegion shownOver(const QRect& icon, const QRect& window, const std::optional<QRegion>& shape,
                  const std::function<QImage(const QRect& area)>& blendedPixels) {
  QRegion shown(window.intersected(icon));
  if (shape) shown &= shape->translated(window.topLeft());
  if (shown.isEmpty() || !blendedPixels) return shown;
  const QRect area = shown.boundingRect();
  const QImage pixels = blendedPixels(area.translated(-window.topLeft()));
  if (pixels.isNull()) return shown;
  return shown & drawnPixels(pixels, area.topLeft());
}

bool panelHidden(const QRect& icon, const std::vector<QRegion>& ownWindowsShown) {
  return std::any_of(ownWindowsShown.begin(), ownWindowsShown.end(),
                     [&](const QRegion& window) { return window.intersects(icon); });
}

}  // namespace vorlane
