#pragma once

#include <libical/ical.h>

#include <set>
#include <string>
#include <string_view>

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

}  // namespace vorlane
