#pragma once

#include "foundation/json.h"

namespace vorlane {

// An sRGB colour. Always three finite channels in 0...1: the only way to make one is the
// clamping constructor.
class MascotColor {
 public:
  // Clamps each channel into 0...1; a non-finite channel becomes 0.
  MascotColor(double red, double green, double blue);

  double red() const { return red_; }
  double green() const { return green_; }
  double blue() const { return blue_; }

  // Whether text on this colour reads better in dark ink than in light, by WCAG 2 contrast
  // against black and white; a tie chooses dark.
  bool usesDarkInk() const;

  bool operator==(const MascotColor&) const = default;

  // {"red": r, "green": g, "blue": b}.
  Json encode() const;
  // Strict: an object with all three keys holding numbers, else DecodingError. The numbers
  // are clamped.
  static MascotColor decode(const JsonReader& reader);

 private:
  double red_;
  double green_;
  double blue_;
};

}  // namespace vorlane
