#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <string>

#include "platform/persistence/stored_data.h"

namespace vorlane {

// Where the floating clock sits on a display, kept as fractions of the free space of the
// display's work area: x from its left edge, y from its bottom edge, 0 at the edge, 1 at the
// opposite one. Rectangles and points here are Qt's (logical pixels, origin top left).
struct ClockFractions {
  double x = 0;
  double y = 0;
  bool operator==(const ClockFractions&) const = default;
};

// The record key of a display's stored place.
std::string clockPositionKey(const std::string& screenID);

// The stored place: exactly two finite numbers; anything else (missing, unreadable, not
// JSON, three numbers, a boolean, a non-finite number) is none.
std::optional<ClockFractions> decodeClockFractions(const StoredData& stored);
// The record text, a JSON array [x, y].
std::string encodeClockFractions(const ClockFractions& fractions);

// The panel's top-left corner kept inside `visible`; a panel larger than the work area sits
// at its left or bottom edge.
QPoint clampedClockOrigin(QPoint origin, QSize panel, const QRect& visible);

// The panel's top-left corner for a stored place, or by default 16 points from the right and
// 12 from the bottom of the work area; always clamped.
QPoint clockOrigin(const std::optional<ClockFractions>& stored, QSize panel, const QRect& visible);

// The fractions describing a panel at `origin`.
ClockFractions clockFractions(QPoint origin, QSize panel, const QRect& visible);

}  // namespace vorlane
