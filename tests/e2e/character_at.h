#pragma once

// Where the mascot's character is in a screenshot of the desktop.

#include <QImage>
#include <QPoint>
#include <QRect>

namespace vorlane::e2e {

// The middle of the character: the rows of `area` where at least 12 pixels differ, which
// its rope alone never makes. Null when there are none.
inline QPoint characterAt(const QImage& before, const QImage& after, QRect area) {
  long sumX = 0, count = 0;
  int top = -1, bottom = -1;
  area = area.intersected(before.rect()).intersected(after.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    long rowX = 0, changed = 0;
    for (int x = area.left(); x <= area.right(); ++x) {
      if (before.pixel(x, y) == after.pixel(x, y)) continue;
      rowX += x;
      ++changed;
    }
    if (changed < 12) continue;
    if (top < 0) top = y;
    bottom = y;
    sumX += rowX;
    count += changed;
  }
  if (count == 0) return {};
  return {int(sumX / count), (top + bottom) / 2};
}

}  // namespace vorlane::e2e
