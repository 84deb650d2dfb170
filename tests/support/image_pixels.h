#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdlib>

namespace vorlane {

// How many pixels of `area` (the whole image when none is given) have a colour for which
// `counts` holds.
template <class Predicate>
int pixelsWhere(const QImage& image, Predicate counts, QRect area = {}) {
  area = area.isNull() ? image.rect() : area.intersected(image.rect());
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) n += counts(image.pixelColor(x, y)) ? 1 : 0;
  }
  return n;
}

// How many pixels of `area` (the whole image when none is given) are within a small distance
// of `ink`: the icon's ink as the screen shows it, blended at its edges.
inline int inkedPixels(const QImage& image, const QColor& ink, QRect area = {}) {
  return pixelsWhere(
      image,
      [&](const QColor& pixel) {
        return std::abs(pixel.red() - ink.red()) + std::abs(pixel.green() - ink.green()) +
                   std::abs(pixel.blue() - ink.blue()) <
               24;
      },
      area);
}

inline bool fullyTransparent(const QImage& image) {
  return pixelsWhere(image, [](const QColor& c) { return c.alpha() != 0; }) == 0;
}

}  // namespace vorlane
