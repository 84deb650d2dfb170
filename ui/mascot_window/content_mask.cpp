#include "ui/mascot_window/content_mask.h"

#include <utility>
#include <vector>

namespace vorlane {
namespace {

constexpr int halfOpaque = 128;

using Runs = std::vector<std::pair<int, int>>;  // [first, last + 1) of each opaque run

// `line` starts at pixel `shift` of the row.
void opaqueRuns(const QRgb* line, int shift, int left, int right, Runs& runs) {
  runs.clear();
  for (int x = left; x <= right;) {
    while (x <= right && qAlpha(line[x - shift]) < halfOpaque) ++x;
    if (x > right) break;
    const int first = x;
    while (x <= right && qAlpha(line[x - shift]) >= halfOpaque) ++x;
    runs.emplace_back(first, x);
  }
}

}  // namespace

QRegion opaqueRegion(const QImage& image) { return opaqueRegion(image, image.rect()); }

QRegion opaqueRegion(const QImage& image, QRect area) {
  area &= image.rect();
  if (area.isEmpty()) return {};
  if (!image.hasAlphaChannel()) return QRegion(area);
  // Alpha sits in the same byte, premultiplied or not; other formats are read as that.
  const bool argb = image.format() == QImage::Format_ARGB32_Premultiplied ||
                    image.format() == QImage::Format_ARGB32;
  const QImage pixels =
      argb ? image : image.copy(area).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QPoint origin = argb ? QPoint() : area.topLeft();

  // Rows with the same runs as the row above deepen that band: the rectangles stay banded,
  // sorted and apart, as QRegion keeps its own.
  std::vector<QRect> rects;
  Runs runs, above;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y - origin.y()));
    opaqueRuns(line, origin.x(), area.left(), area.right(), runs);
    if (!runs.empty() && runs == above) {
      for (auto it = rects.end() - std::ptrdiff_t(runs.size()); it != rects.end(); ++it) {
        it->setBottom(y);
      }
    } else {
      for (const auto& [first, end] : runs) rects.emplace_back(first, y, end - first, 1);
      std::swap(above, runs);
    }
  }
  QRegion region;
  region.setRects(rects.data(), int(rects.size()));
  return region;
}

QRegion repaintedOpaqueRegion(const std::optional<QRegion>& before, const QImage& frame,
                              QRect repainted) {
  if (!before) return opaqueRegion(frame);
  repainted &= frame.rect();
  if (repainted.isEmpty()) return *before;
  return before->subtracted(repainted).united(opaqueRegion(frame, repainted));
}

}  // namespace vorlane
