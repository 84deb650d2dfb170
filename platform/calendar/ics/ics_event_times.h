#pragma once

#include <libical/ical.h>

#include <optional>

#include "foundation/date.h"
#include "platform/calendar/ics/ics_zones.h"
#include "platform/calendar/ics_parser.h"

namespace vorlane {

// A DTSTART, DTEND or RECURRENCE-ID of an event, read once: the property (null when the
// event has none), its value, its zone and the instant it names (none when unreadable).
struct TimeProperty {
  icalproperty* property = nullptr;
  icaltimetype value = icaltime_null_time();
  icaltimezone* zone = nullptr;
  std::optional<Date> instant;
};

TimeProperty timeProperty(icalcomponent* event, icalproperty_kind kind, icalcomponent* calendar,
                          Zones& zones, const IcsCalendar& userCalendar);

// How an event's end follows from its start: a number of calendar days for all-day events,
// else a number of seconds.
struct Length {
  std::optional<long long> days;
  double seconds = 0;
};

// An event's start, end and length; no end when they cannot be read or contradict.
struct EventTimes {
  TimeProperty start;
  std::optional<Date> end;
  Length length;
};

// An override (a moved occurrence) giving both an end and a length keeps its end, as other
// calendar programs read it; any other such event is contradictory and left out.
EventTimes eventTimes(icalcomponent* event, icalcomponent* calendar, Zones& zones,
                      const IcsCalendar& user, bool endOverridesDuration);

Date endOf(Date start, const Length& length, const IcsCalendar& calendar);

}  // namespace vorlane
