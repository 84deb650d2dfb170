#pragma once

#include <QColor>
#include <QImage>

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

}  // namespace vorlane::e2e
