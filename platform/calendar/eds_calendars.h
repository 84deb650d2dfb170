#pragma once

#include <string>
#include <vector>

#include "core/contracts/busy_interval.h"
#include "foundation/date.h"
#include "platform/calendar/cancel_token.h"

namespace vorlane {

// What the calendar-service plugin (Evolution Data Server) offers the application. The
// plugin is loaded on demand, so this is the only thing both sides share: header-only types
// and a factory with C linkage. Made and used on one thread, which must be the only one
// that ever calls it, and destroyed there.
class EdsCalendars {
 public:
  enum class Availability { available, noSessionBus, notInstalled };

  struct Reading {
    Availability availability = Availability::available;
    // The busy stretches of every enabled calendar, by the same rules as the .ics reader.
    std::vector<BusyInterval> busy;
    // One line for each calendar that could not be read ("Work: Cannot connect").
    std::vector<std::string> failures;
  };

  virtual ~EdsCalendars() = default;

  // Throws when the service is there but its list of calendars cannot be had.
  virtual Reading read(DateInterval interval, const CancelToken& cancel) = 0;
};

// The factory's name and signature. `zoneID` (an Olson id) places all-day and floating
// times. Returns null when `version` is not the plugin's.
inline constexpr int edsCalendarsVersion = 1;
inline constexpr const char* edsCalendarsFactoryName = "vorlane_eds_calendars_create";
extern "C" {
using EdsCalendarsFactory = EdsCalendars* (*)(int version, const char* zoneID);
}

}  // namespace vorlane
