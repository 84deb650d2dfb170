#pragma once

#include <libical/ical.h>

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "core/contracts/busy_interval.h"
#include "foundation/date.h"

namespace vorlane {

// Which calendar events make the user busy, for every reader of events alike (the .ics
// files and the calendar service).

// An address as it is compared: without surrounding blanks, lower case (ASCII), without
// "mailto:".
std::string normalAddress(std::string_view address);

// Whether the event holds the user's time: not cancelled, not shown as free (transparent),
// not declined by one of `userAddresses` (normal addresses; empty ones match nobody).
// Tentative, all-day and floating events count as any other. A null event holds nothing.
// Its times are the reader's to judge.
bool holdsTime(icalcomponent* event, const std::set<std::string>& userAddresses);

// The stretch from `start` to `end` of an event that holds time, when it is one: it ends
// after it starts and overlaps `range` (half-open, as both are). Not clipped to the range.
std::optional<BusyInterval> busyStretch(Date start, Date end, DateInterval range);

}  // namespace vorlane
