#pragma once

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "foundation/json.h"

namespace vorlane {

// `value` brought into lo...hi. A non-finite value takes `fallback`, never the nearer bound:
// std::clamp would pass NaN through and turn -inf into `lo`.
inline double boundedOrFallback(double value, double lo, double hi, double fallback) {
  if (!std::isfinite(value)) return fallback;
  return std::min(std::max(value, lo), hi);
}

// The number under `key` of an object, or none when it is missing, null or not a number.
inline std::optional<double> numberOrNone(const JsonReader& object, std::string_view key) {
  auto member = object.optional(key);
  if (!member || !member->value().is_number()) return std::nullopt;
  return member->asDouble();
}

}  // namespace vorlane
