#pragma once

#include <libical/ical.h>

#include <optional>
#include <set>
#include <string>

#include "core/contracts/busy_interval.h"
#include "foundation/date.h"
#include "platform/calendar/ics/busy_event_rules.h"

namespace vorlane::eds {

// The busy stretch of one occurrence the calendar service has expanded, or none when the
// event holds no time (see holdsTime; `userAddresses` normalised) or the occurrence ends no
// later than it starts; also none when it does not overlap `window` at all. Times without
// a zone (all-day, floating) are placed in `zone`. Not clipped to the window.
std::optional<BusyInterval> busyOccurrence(icalcomponent* event, icaltimetype start,
                                           icaltimetype end, icaltimezone* zone,
                                           const std::set<std::string>& userAddresses,
                                           DateInterval window);

}  // namespace vorlane::eds
