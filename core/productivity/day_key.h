#pragma once

#include <string>

#include "foundation/calendar.h"
#include "foundation/date.h"

namespace vorlane {

// The key of the calendar day holding `date` in `calendar`'s time zone: "2026-03-05", the
// year, month and day formatted "%04d-%02d-%02d". Keys are compared as text, never parsed;
// for four-digit years text order is date order.
std::string dayKey(Date date, const Calendar& calendar);

}  // namespace vorlane
