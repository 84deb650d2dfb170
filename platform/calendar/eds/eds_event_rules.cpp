#include "platform/calendar/eds/eds_event_rules.h"

#include <map>
#include <string_view>

namespace vorlane::eds {

namespace {

Date instant(icaltimetype time, icaltimezone* zone) {
  // A time with its own zone (UTC included) keeps it; dates and floating times are local.
  icaltimezone* own = time.is_date ? nullptr : const_cast<icaltimezone*>(time.zone);
  return Date::fromUnix(double(icaltime_as_timet_with_zone(time, own ? own : zone)));
}

std::string zoneName(std::string_view name) {
  while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.remove_suffix(1);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  return std::string(name);
}

icaltimezone* systemZone(const std::string& name) {
  return name.empty() ? nullptr : icaltimezone_get_builtin_timezone(name.c_str());
}

// The zone the event's start names, as the file reader chooses it; null when the service's
// own choice stands (UTC, dates, floating times, zones nobody knows).
icaltimezone* namedZone(icalcomponent* event, icaltimetype start,
                        const CalendarZones& calendarZones) {
  if (start.is_date || icaltime_is_utc(start)) return nullptr;
  icalproperty* property = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
  icalparameter* tzid = property != nullptr
                            ? icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)
                            : nullptr;
  const char* raw = tzid != nullptr ? icalparameter_get_tzid(tzid) : nullptr;
  if (raw == nullptr || *raw == '\0') return nullptr;
  const std::string name = zoneName(raw);
  if (icaltimezone* system = systemZone(name)) return system;
  auto* own = const_cast<icaltimezone*>(start.zone);
  if (own == nullptr ||
      zoneName(icaltimezone_get_tzid(own) ? icaltimezone_get_tzid(own) : "") != name) {
    own = calendarZones ? calendarZones(name) : nullptr;
  }
  if (own == nullptr) return nullptr;
  if (const char* location = icaltimezone_get_location(own)) {
    if (icaltimezone* system = systemZone(zoneName(location))) return system;
  }
  return own;
}

std::optional<double> recurrenceIDOf(icalcomponent* event, icaltimezone* zone, bool& future) {
  icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
  if (id == nullptr) return std::nullopt;
  icalparameter* range = icalproperty_get_first_parameter(id, ICAL_RANGE_PARAMETER);
  future = range != nullptr && icalparameter_get_range(range) == ICAL_RANGE_THISANDFUTURE;
  const icaltimetype time = icalcomponent_get_recurrenceid(event);
  if (icaltime_is_null_time(time)) return std::nullopt;
  return instant(time, zone).unixSeconds();
}

}  // namespace

std::optional<ServiceOccurrence> serviceOccurrence(icalcomponent* event, icaltimetype start,
                                                   icaltimetype end, icaltimezone* zone,
                                                   const CalendarZones& calendarZones,
                                                   const std::set<std::string>& userAddresses) {
  if (event == nullptr || icaltime_is_null_time(start) || icaltime_is_null_time(end)) {
    return std::nullopt;
  }
  if (!holdsTime(event, userAddresses)) return std::nullopt;
  Date from = instant(start, zone), to = instant(end, zone);
  icaltimezone* const named = namedZone(event, start, calendarZones);
  if (named != nullptr) {
    // The wall-clock start in the named zone; the length as the service measured it.
    icaltimetype wall = start;
    wall.zone = nullptr;
    const Date placed = Date::fromUnix(double(icaltime_as_timet_with_zone(wall, named)));
    to = placed + (to - from);
    from = placed;
  }
  if (!(to > from)) return std::nullopt;
  ServiceOccurrence occurrence;
  const char* uid = icalcomponent_get_uid(event);
  occurrence.uid = uid != nullptr ? uid : "";
  occurrence.recurrenceID =
      recurrenceIDOf(event, named != nullptr ? named : zone, occurrence.thisAndFuture);
  occurrence.times = {from, to};
  return occurrence;
}

std::vector<BusyInterval> busyStretches(const std::vector<ServiceOccurrence>& occurrences,
                                        DateInterval window) {
  struct Shift {
    double seconds;
    double length;
  };
  std::map<std::string, std::map<double, Shift>> shifts;  // by series, by replaced start
  for (const ServiceOccurrence& o : occurrences) {
    if (o.thisAndFuture && o.recurrenceID) {
      shifts[o.uid][*o.recurrenceID] = {o.times.start.unixSeconds() - *o.recurrenceID,
                                        o.times.end - o.times.start};
    }
  }
  std::vector<BusyInterval> result;
  for (const ServiceOccurrence& o : occurrences) {
    BusyInterval times = o.times;
    const auto series = shifts.find(o.uid);
    if (series != shifts.end() && !o.thisAndFuture) {
      const double id = o.recurrenceID.value_or(times.start.unixSeconds());
      const auto& starts = series->second;
      // The service keeps the replaced occurrence beside its replacement.
      if (starts.contains(id)) continue;
      const auto after = starts.upper_bound(id);
      // Occurrences moved one by one keep their own times.
      if (after != starts.begin() && times.start.unixSeconds() == id) {
        const Shift& shift = std::prev(after)->second;
        times.start = times.start + shift.seconds;
        times.end = times.start + shift.length;
      }
    }
    if (const auto busy = busyStretch(times.start, times.end, window)) result.push_back(*busy);
  }
  return result;
}

}  // namespace vorlane::eds
