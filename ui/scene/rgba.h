#pragma once

#include <QColor>

namespace vorlane {

// A colour as four sRGB components in doubles. QColor keeps 16-bit channels, so equality
// and blends stay here and only painting converts.
struct Rgba {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;

  static constexpr Rgba white(double level, double alpha = 1) {
    return {level, level, level, alpha};
  }
  static constexpr Rgba clear() { return {0, 0, 0, 0}; }

  // Each component, alpha included, moved `fraction` of the way toward `other`.
  constexpr Rgba blended(double fraction, const Rgba& other) const {
    return {red + (other.red - red) * fraction, green + (other.green - green) * fraction,
            blue + (other.blue - blue) * fraction, alpha + (other.alpha - alpha) * fraction};
  }
  constexpr Rgba withAlpha(double a) const { return {red, green, blue, a}; }

  QColor toQColor() const { return QColor::fromRgbF(red, green, blue, alpha); }

  bool operator==(const Rgba&) const = default;
};

}  // namespace vorlane
