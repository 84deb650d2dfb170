#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vorlane {

// An integral double as int64_t, clamped to its range and NaN as 0: a plain cast of an
// out-of-range double is undefined behaviour.
inline std::int64_t saturatedInt64(double integral) {
  if (std::isnan(integral)) return 0;
  // 2^63 is exactly representable; every double below it converts without overflow.
  constexpr double limit = 9223372036854775808.0;
  if (integral >= limit) return std::numeric_limits<std::int64_t>::max();
  if (integral < -limit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(integral);
}

}  // namespace vorlane
