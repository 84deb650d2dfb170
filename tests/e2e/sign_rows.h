#pragma once

#include <QImage>
#include <QRect>

namespace vorlane::e2e {

// Rows of `area` holding a run of at least `width` pixels of one colour that were different
// before: the flat face of the sign (the character has no such run).
inline int signRows(const QImage& before, const QImage& after, QRect area, int width = 150) {
  int rows = 0;
  area = area.intersected(after.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    int run = 0;
    for (int x = area.left() + 1; x <= area.right() && run < width; ++x) {
      const bool same =
          after.pixel(x, y) == after.pixel(x - 1, y) && after.pixel(x, y) != before.pixel(x, y);
      run = same ? run + 1 : 0;
    }
    rows += run >= width;
  }
  return rows;
}

}  // namespace vorlane::e2e
