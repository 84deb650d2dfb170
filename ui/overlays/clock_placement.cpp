#include "ui/overlays/clock_placement.h"

#include <algorithm>
#include <cmath>

#include "foundation/json.h"

namespace vorlane {
namespace {

constexpr double rightInset = 16;
constexpr double bottomInset = 12;

// The rules count y upward from the bottom edge; negating Qt's y (and moving to the other
// corner) gives exactly that, and the same flip brings a point back.
struct Box {
  double x, y, width, height;
  double maxX() const { return x + width; }
  double maxY() const { return y + height; }
};

Box upward(const QRect& r) {
  return {double(r.x()), -double(r.y() + r.height()), double(r.width()), double(r.height())};
}
double upwardY(QPoint origin, QSize panel) { return -double(origin.y() + panel.height()); }
QPoint downward(double x, double y, QSize panel) {
  return {int(std::lround(x)), int(std::lround(-y - panel.height()))};
}

void clamp(double& x, double& y, QSize panel, const Box& frame) {
  x = std::min(std::max(x, frame.x), std::max(frame.maxX() - panel.width(), frame.x));
  y = std::min(std::max(y, frame.y), std::max(frame.maxY() - panel.height(), frame.y));
}

}  // namespace

std::string clockPositionKey(const std::string& screenID) {
  return "floatingClock.position." + screenID;
}

std::optional<ClockFractions> decodeClockFractions(const StoredData& stored) {
  if (!stored.hasValue()) return std::nullopt;
  Json value;
  try {
    value = json::parse(stored.bytes());
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (!value.is_array() || value.size() != 2) return std::nullopt;
  if (!value[0].is_number() || !value[1].is_number()) return std::nullopt;
  const double x = value[0].get<double>();
  const double y = value[1].get<double>();
  if (!std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
  return ClockFractions{x, y};
}

std::string encodeClockFractions(const ClockFractions& fractions) {
  return json::dump(Json::array({json::fromDouble(fractions.x), json::fromDouble(fractions.y)}));
}

QPoint clampedClockOrigin(QPoint origin, QSize panel, const QRect& visible) {
  double x = origin.x();
  double y = upwardY(origin, panel);
  clamp(x, y, panel, upward(visible));
  return downward(x, y, panel);
}

QPoint clockOrigin(const std::optional<ClockFractions>& stored, QSize panel, const QRect& visible) {
  const Box frame = upward(visible);
  double x = frame.maxX() - panel.width() - rightInset;
  double y = frame.y + bottomInset;
  if (stored) {
    x = frame.x + stored->x * std::max(frame.width - panel.width(), 0.0);
    y = frame.y + stored->y * std::max(frame.height - panel.height(), 0.0);
  }
  clamp(x, y, panel, frame);
  return downward(x, y, panel);
}

ClockFractions clockFractions(QPoint origin, QSize panel, const QRect& visible) {
  const Box frame = upward(visible);
  return {(origin.x() - frame.x) / std::max(frame.width - panel.width(), 1.0),
          (upwardY(origin, panel) - frame.y) / std::max(frame.height - panel.height(), 1.0)};
}

}  // namespace vorlane
