#pragma once

#include <string_view>
#include <vector>

#include "platform/calendar/ics_parser.h"

namespace vorlane {

// The busy stretches of one calendar file, by the rules busyIntervalsInIcs (ics_events.h)
// describes; the calendar plugin's work. Never throws.
std::vector<BusyInterval> busyTimesInIcs(std::string_view text, DateInterval range,
                                         const IcsRules& rules);

}  // namespace vorlane
