#pragma once

#include "foundation/calendar.h"
#include "foundation/date.h"

namespace vorlane {

// Berlin in winter: local 11:00 is 10:00 UTC, which shows in the log's dates.
inline const Calendar berlin("Europe/Berlin", "en_GB");

// A moment on Tuesday 2026-03-10, local time.
inline Date at(int hour, int minute, double second = 0) {
  return *berlin.date(2026, 3, 10, hour, minute, 0) + second;
}

}  // namespace vorlane
