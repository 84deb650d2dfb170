#include "core/productivity/day_key.h"

#include <cmath>
#include <cstdio>

namespace vorlane {

std::string dayKey(Date date, const Calendar& calendar) {
  const DateComponents local = calendar.components(date);
  // The year of its era, as the user's calendar names it: 1 BC is year 1, not 0. A date the
  // calendar cannot place has no fields, and they count as 0.
  const bool placed = std::isfinite(date.timeIntervalSinceReferenceDate());
  const int year = !placed || local.year > 0 ? local.year : 1 - local.year;
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, local.month, local.day);
  return buffer;
}

}  // namespace vorlane
