#pragma once

#include <libical/ical.h>

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "foundation/date.h"
#include "platform/calendar/ics/recurrence_budget.h"
#include "platform/calendar/ics_parser.h"

namespace vorlane {

// The zones time properties name. A name the system's zone data knows, or a file's zone
// whose location it knows, follows the system's rules: producers ship zones cut down to the
// transitions near their own events. The file's own zone serves names only it knows
// (Windows names).
class Zones {
 public:
  // Takes note of a calendar's own zones, before any of its times are read.
  void learn(icalcomponent* calendar);

  // Null for UTC values, dates, floating times and unknown zones.
  icaltimezone* of(icalproperty* property, icaltimetype value, icalcomponent* calendar);

 private:
  std::map<std::pair<icalcomponent*, std::string>, icaltimezone*> own_;
  std::map<std::pair<icalcomponent*, std::string>, icaltimezone*> known_;
};

// A time as an instant: UTC and zoned values as they are, floating values and dates at
// their wall-clock time in the user's calendar.
std::optional<Date> instantOf(icaltimetype value, icaltimezone* zone, const IcsCalendar& calendar);

// Removes zones that would cost libical more transitions than real zones ever have, or more
// than the file has left, before anything asks it for an offset; their times then read as
// an unknown zone would.
void dropCostlyZones(icalcomponent* calendar, ReadBudget& budget);

}  // namespace vorlane
