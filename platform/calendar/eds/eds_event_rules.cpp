#include "platform/calendar/eds/eds_event_rules.h"

#include <algorithm>
#include <cctype>

namespace vorlane::eds {

namespace {

bool isFree(icalcomponent* event) {
  icalproperty* transp = icalcomponent_get_first_property(event, ICAL_TRANSP_PROPERTY);
  if (transp == nullptr) return false;
  const icalproperty_transp value = icalproperty_get_transp(transp);
  return value == ICAL_TRANSP_TRANSPARENT || value == ICAL_TRANSP_TRANSPARENTNOCONFLICT;
}

bool declinedByUser(icalcomponent* event, const std::set<std::string>& userAddresses) {
  if (userAddresses.empty()) return false;
  for (icalproperty* attendee = icalcomponent_get_first_property(event, ICAL_ATTENDEE_PROPERTY);
       attendee != nullptr;
       attendee = icalcomponent_get_next_property(event, ICAL_ATTENDEE_PROPERTY)) {
    icalparameter* status = icalproperty_get_first_parameter(attendee, ICAL_PARTSTAT_PARAMETER);
    if (status == nullptr || icalparameter_get_partstat(status) != ICAL_PARTSTAT_DECLINED) continue;
    const char* address = icalproperty_get_attendee(attendee);
    if (address != nullptr && userAddresses.count(normalAddress(address))) return true;
  }
  return false;
}

Date instant(icaltimetype time, icaltimezone* zone) {
  // A time with its own zone (UTC included) keeps it; dates and floating times are local.
  icaltimezone* own = time.is_date ? nullptr : const_cast<icaltimezone*>(time.zone);
  return Date::fromUnix(double(icaltime_as_timet_with_zone(time, own ? own : zone)));
}

}  // namespace

std::string normalAddress(std::string_view address) {
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  while (!address.empty() && blank(address.front())) address.remove_prefix(1);
  while (!address.empty() && blank(address.back())) address.remove_suffix(1);
  std::string result(address);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  if (result.rfind("mailto:", 0) == 0) result.erase(0, 7);
  return result;
}

std::optional<BusyInterval> busyOccurrence(icalcomponent* event, icaltimetype start,
                                           icaltimetype end, icaltimezone* zone,
                                           const std::set<std::string>& userAddresses,
                                           DateInterval window) {
  if (event == nullptr || icaltime_is_null_time(start) || icaltime_is_null_time(end)) {
    return std::nullopt;
  }
  if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED || isFree(event) ||
      declinedByUser(event, userAddresses)) {
    return std::nullopt;
  }
  const BusyInterval busy{instant(start, zone), instant(end, zone)};
  if (!(busy.end > busy.start)) return std::nullopt;
  if (busy.end <= window.start || busy.start >= window.end) return std::nullopt;
  return busy;
}

}  // namespace vorlane::eds
