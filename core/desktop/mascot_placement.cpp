#include "core/desktop/mascot_placement.h"

#include <algorithm>

#include "core/desktop/bounded_number.h"

namespace vorlane {

namespace {
constexpr double horizontalFallback = 1;
constexpr double verticalFallback = 0;
}  // namespace

MascotPlacement::MascotPlacement(double horizontal, double vertical)
    : horizontal_(boundedOrFallback(horizontal, 0, 1, horizontalFallback)),
      vertical_(boundedOrFallback(vertical, 0, 1, verticalFallback)) {}

// 0 first in std::max, so a NaN span gives 0 like the free spans of moved().
double MascotPlacement::originX(double minX, double width) const {
  return minX + horizontal_ * std::max(0.0, width - columnWidth);
}

double MascotPlacement::topInset(double height, double headroom) const {
  return headroom + vertical_ * std::max(0.0, height - headroom - minimumCanvasHeight);
}

MascotPlacement MascotPlacement::moved(double dx, double dy, double width, double height,
                                       double headroom) const {
  double freeWidth = width - columnWidth;
  if (!(freeWidth >= 0)) freeWidth = 0;
  double freeHeight = height - headroom - minimumCanvasHeight;
  if (!(freeHeight >= 0)) freeHeight = 0;
  double h = freeWidth > 0 ? horizontal_ + dx / freeWidth : 0;
  // Screen y grows upwards, the fraction downwards.
  double v = freeHeight > 0 ? vertical_ - dy / freeHeight : 0;
  return MascotPlacement(h, v);
}

Json MascotPlacement::encode() const {
  Json out = Json::object();
  out["horizontal"] = json::fromDouble(horizontal_);
  out["vertical"] = json::fromDouble(vertical_);
  return out;
}

MascotPlacement MascotPlacement::decode(const JsonReader& reader) {
  if (!reader.isObject()) {
    reader.fail(DecodingError::Kind::typeMismatch, "Expected a placement object.");
  }
  return MascotPlacement(numberOrNone(reader, "horizontal").value_or(horizontalFallback),
                         numberOrNone(reader, "vertical").value_or(verticalFallback));
}

}  // namespace vorlane
