#pragma once

#include "foundation/json.h"

namespace vorlane {

// Where the mascot's column hangs on one display, as two fractions of the free span, so one
// setting fits displays of any size. Always two finite fractions in 0...1: the only way to
// make one is the clamping constructor.
class MascotPlacement {
 public:
  // Layout constants in points.
  static constexpr double columnWidth = 340;
  static constexpr double minimumCanvasHeight = 460;

  // Clamps both into 0...1; a non-finite `horizontal` becomes 1 and a non-finite `vertical`
  // becomes 0, whatever its sign.
  MascotPlacement(double horizontal, double vertical);

  // 0 is the left edge of the usable width, 1 the right edge.
  double horizontal() const { return horizontal_; }
  // 0 is the top (just below the headroom), 1 as low as the canvas can go.
  double vertical() const { return vertical_; }

  // Left edge of the column on a usable area starting at `minX`, `width` wide.
  double originX(double minX, double width) const;
  // Distance from the top of a usable area to the top of the canvas.
  double topInset(double height, double headroom) const;
  // The placement after the pointer moved by `dx` (rightwards) and `dy` (upwards); the
  // inverse of originX/topInset while the result stays in range. A span with no free room
  // gives fraction 0.
  MascotPlacement moved(double dx, double dy, double width, double height, double headroom) const;

  bool operator==(const MascotPlacement&) const = default;

  // {"horizontal": h, "vertical": v}, the stored values as they are.
  Json encode() const;
  // Needs an object (DecodingError otherwise); a missing, null or non-number key takes the
  // fallback (horizontal 1, vertical 0), then the values are clamped.
  static MascotPlacement decode(const JsonReader& reader);

 private:
  double horizontal_;
  double vertical_;
};

}  // namespace vorlane
