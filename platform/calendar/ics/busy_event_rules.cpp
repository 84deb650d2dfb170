#include "platform/calendar/ics/busy_event_rules.h"

#include <algorithm>

namespace vorlane {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

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
    const char* value = icalproperty_get_attendee(attendee);
    if (value == nullptr) continue;
    const std::string address = normalAddress(value);
    if (!address.empty() && userAddresses.count(address) != 0) return true;
  }
  return false;
}

}  // namespace

std::string normalAddress(std::string_view address) {
  while (!address.empty() && isBlank(address.front())) address.remove_prefix(1);
  while (!address.empty() && isBlank(address.back())) address.remove_suffix(1);
  std::string result(address);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; });
  if (result.rfind("mailto:", 0) == 0) result.erase(0, 7);
  return result;
}

bool holdsTime(icalcomponent* event, const std::set<std::string>& userAddresses) {
  if (event == nullptr) return false;
  return icalcomponent_get_status(event) != ICAL_STATUS_CANCELLED && !isFree(event) &&
         !declinedByUser(event, userAddresses);
}

std::optional<BusyInterval> busyStretch(Date start, Date end, DateInterval range) {
  if (!(end > start) || !(start < range.end && end > range.start)) return std::nullopt;
  return BusyInterval{start, end};
}

}  // namespace vorlane
