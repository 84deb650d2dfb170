#pragma once

#include <QPointF>
#include <QRectF>
#include <algorithm>

namespace vorlane {

// A rectangle in y-up scene points with the rules hit-testing relies on: containment is
// half-open ([minX, maxX) × [minY, maxY)), an empty rectangle contains nothing, and the
// null rectangle is the identity of union and contains nothing. QRectF includes its far
// edges and reads top and bottom the y-down way, so frame tests use this instead.
struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  bool isNull = false;

  static constexpr Rect null() { return {0, 0, 0, 0, true}; }
  static Rect from(const QRectF& r) { return {r.x(), r.y(), r.width(), r.height(), false}; }

  double minX() const { return x; }
  double minY() const { return y; }
  double maxX() const { return x + width; }
  double maxY() const { return y + height; }
  bool isEmpty() const { return isNull || width <= 0 || height <= 0; }

  bool contains(QPointF p) const {
    return !isEmpty() && p.x() >= minX() && p.x() < maxX() && p.y() >= minY() && p.y() < maxY();
  }
  // Grown by `d` on every side (shrunk for a negative `d`); the null rectangle stays null.
  Rect grownBy(double d) const {
    if (isNull) return *this;
    return {x - d, y - d, width + 2 * d, height + 2 * d, false};
  }
  Rect united(const Rect& other) const {
    if (isNull) return other;
    if (other.isNull) return *this;
    const double x0 = std::min(minX(), other.minX());
    const double y0 = std::min(minY(), other.minY());
    return {x0, y0, std::max(maxX(), other.maxX()) - x0, std::max(maxY(), other.maxY()) - y0,
            false};
  }

  bool operator==(const Rect&) const = default;
};

}  // namespace vorlane
