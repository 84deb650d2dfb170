#include "platform/calendar/eds/eds_event_rules.h"

namespace vorlane::eds {

namespace {

Date instant(icaltimetype time, icaltimezone* zone) {
  // A time with its own zone (UTC included) keeps it; dates and floating times are local.
  icaltimezone* own = time.is_date ? nullptr : const_cast<icaltimezone*>(time.zone);
  return Date::fromUnix(double(icaltime_as_timet_with_zone(time, own ? own : zone)));
}

}  // namespace

std::optional<BusyInterval> busyOccurrence(icalcomponent* event, icaltimetype start,
                                           icaltimetype end, icaltimezone* zone,
                                           const std::set<std::string>& userAddresses,
                                           DateInterval window) {
  if (event == nullptr || icaltime_is_null_time(start) || icaltime_is_null_time(end)) {
    return std::nullopt;
  }
  if (!holdsTime(event, userAddresses)) return std::nullopt;
  return busyStretch(instant(start, zone), instant(end, zone), window);
}

}  // namespace vorlane::eds
