#pragma once

#include <chrono>
#include <memory>

#include "platform/calendar/busy_reader.h"

namespace vorlane {

// How long a read waits for the calendar service before answering without it. A cold start
// of the service takes about a second; a hung one would take 25 s.
inline constexpr std::chrono::milliseconds calendarServiceTimeLimit{5000};

// The user's calendars: the .ics files, then the calendar service's calendars (when its
// plugin and the service are there), merged.
std::shared_ptr<const BusyReader> userCalendars();

}  // namespace vorlane
