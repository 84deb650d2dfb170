#pragma once

#include <libical/ical.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/contracts/busy_interval.h"
#include "foundation/date.h"
#include "platform/calendar/ics/busy_event_rules.h"

namespace vorlane::eds {

// A calendar's own zone by its name (without a stray trailing colon); null when it has none.
using CalendarZones = std::function<icaltimezone*(const std::string& name)>;

// One occurrence the service expanded, as much of it as busy times need.
struct ServiceOccurrence {
  std::string uid;
  std::optional<double> recurrenceID;  // the replaced occurrence's start, unix seconds
  bool thisAndFuture = false;          // replaces that occurrence and every later one
  BusyInterval times;
};

// The occurrence of an event that holds time (see holdsTime), placed as the file reader
// places it: a zone the system's zone data knows, by name or by the location of the
// service's copy, follows the system's rules (the service keeps a producer's zone cut down
// to a few transitions); a name only the calendar knows, even with a stray trailing colon
// (Outlook), is its own zone; times without one are placed in `zone`. None when the event
// holds no time or the occurrence ends no later than it starts.
std::optional<ServiceOccurrence> serviceOccurrence(icalcomponent* event, icaltimetype start,
                                                   icaltimetype end, icaltimezone* zone,
                                                   const CalendarZones& calendarZones,
                                                   const std::set<std::string>& userAddresses);

// The busy stretches of a calendar's occurrences that overlap `window`, in the order given,
// with overrides of an occurrence "and all that follow" applied as the file reader applies
// them (the service moves only the one occurrence): every later occurrence of the series that
// stands at its own time moves as the override moved, and takes its length.
std::vector<BusyInterval> busyStretches(const std::vector<ServiceOccurrence>& occurrences,
                                        DateInterval window);

}  // namespace vorlane::eds
