#include "platform/calendar/ics/ics_event_times.h"

#include "platform/calendar/ics/recurrence_budget.h"

namespace vorlane {

TimeProperty timeProperty(icalcomponent* event, icalproperty_kind kind, icalcomponent* calendar,
                          Zones& zones, const IcsCalendar& userCalendar) {
  TimeProperty result;
  result.property = icalcomponent_get_first_property(event, kind);
  if (result.property == nullptr) return result;
  icalvalue* value = icalproperty_get_value(result.property);
  if (value == nullptr) return result;
  const icalvalue_kind valueKind = icalvalue_isa(value);
  if (valueKind != ICAL_DATETIME_VALUE && valueKind != ICAL_DATE_VALUE) return result;
  result.value = icalvalue_get_datetime(value);
  result.zone = zones.of(result.property, result.value, calendar);
  result.instant = instantOf(result.value, result.zone, userCalendar);
  return result;
}

EventTimes eventTimes(icalcomponent* event, icalcomponent* calendar, Zones& zones,
                      const IcsCalendar& user, bool endOverridesDuration) {
  EventTimes times;
  times.start = timeProperty(event, ICAL_DTSTART_PROPERTY, calendar, zones, user);
  if (!times.start.instant) return times;
  const Date start = *times.start.instant;
  const bool allDay = times.start.value.is_date;
  icalproperty* durationProperty = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY);
  const TimeProperty end = timeProperty(event, ICAL_DTEND_PROPERTY, calendar, zones, user);

  if (end.property != nullptr && durationProperty != nullptr) {
    if (!endOverridesDuration) return times;
    durationProperty = nullptr;
  }
  if (end.property != nullptr) {
    if (!end.instant) return times;
    if (allDay && end.value.is_date) {
      times.length.days =
          (wallClockSeconds(end.value) - wallClockSeconds(times.start.value)) / 86400;
    } else {
      times.length.seconds = *end.instant - start;
    }
  } else if (durationProperty != nullptr) {
    const icaldurationtype duration = icalproperty_get_duration(durationProperty);
    if (icaldurationtype_is_bad_duration(duration)) return times;
    const int sign = duration.is_neg ? -1 : 1;
    if (allDay) {
      times.length.days = sign * (7LL * duration.weeks + duration.days);
    } else {
      times.length.seconds = double(icaldurationtype_as_int(duration));
    }
  } else if (allDay) {
    times.length.days = 1;
  }
  times.end = endOf(start, times.length, user);
  return times;
}

Date endOf(Date start, const Length& length, const IcsCalendar& calendar) {
  return length.days ? calendar.addingDays(*length.days, start) : start + length.seconds;
}

}  // namespace vorlane
