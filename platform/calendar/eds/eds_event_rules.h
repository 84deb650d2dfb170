#pragma once

#include <libical/ical.h>

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "core/contracts/busy_interval.h"
#include "foundation/date.h"

namespace vorlane::eds {

// An address as it is compared: without "mailto:", without surrounding blanks, lower case.
std::string normalAddress(std::string_view address);

// The busy stretch of one occurrence the calendar service has expanded, or none when the
// rules of the .ics reader drop it: cancelled, shown as free, declined by one of
// `userAddresses` (normalised), or ending no later than it starts; also none when it does
// not overlap `window` at all. Times without a zone (all-day, floating) are placed in
// `zone`. Not clipped to the window.
std::optional<BusyInterval> busyOccurrence(icalcomponent* event, icaltimetype start,
                                           icaltimetype end, icaltimezone* zone,
                                           const std::set<std::string>& userAddresses,
                                           DateInterval window);

}  // namespace vorlane::eds
