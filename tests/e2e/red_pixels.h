#pragma once

#include <QColor>
#include <QImage>
#include <chrono>

#include "tests/support/child_process.h"

namespace vorlane::e2e {

// Pixels of the red that windows give a refusal.
inline int redPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c(image.pixel(x, y));
      count += c.red() > 180 && c.green() < 100 && c.blue() < 100;
    }
  }
  return count;
}

// The first screenshot `look` takes that shows more than `more` red pixels beyond `before`: a
// refusal drawn in red. The last one taken when none does within `limit`.
template <typename Look>
QImage turnedRed(const QImage& before, int more, Look look,
                 std::chrono::milliseconds limit = std::chrono::seconds(60)) {
  QImage shot;
  (void)testing::waitUntil(
      [&] {
        shot = look();
        return redPixels(shot) > redPixels(before) + more;
      },
      limit);
  return shot;
}

}  // namespace vorlane::e2e
