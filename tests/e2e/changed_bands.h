#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <algorithm>
#include <vector>

namespace vorlane::e2e {

// The centres of the horizontal bands of `area` whose rows have at least `wide` pixels that
// changed between two screenshots, top first: the character (wider than its rope, about 35 pixels),
// or its pills, one under the other.
inline std::vector<QPoint> changedBands(const QImage& before, const QImage& after, QRect area,
                                        int wide) {
  std::vector<QPoint> bands;
  int top = -1, left = area.right(), right = area.left();
  for (int y = area.top(); y <= area.bottom() + 1; ++y) {
    int first = -1, last = -1, changed = 0;
    for (int x = area.left(); y <= area.bottom() && x <= area.right(); ++x) {
      if (before.pixel(x, y) == after.pixel(x, y)) continue;
      ++changed;
      if (first < 0) first = x;
      last = x;
    }
    if (changed >= wide) {
      if (top < 0) top = y;
      left = std::min(left, first);
      right = std::max(right, last);
    } else if (top >= 0) {
      if (y - top >= 12) bands.emplace_back((left + right) / 2, (top + y) / 2);
      top = -1, left = area.right(), right = area.left();
    }
  }
  return bands;
}

}  // namespace vorlane::e2e
