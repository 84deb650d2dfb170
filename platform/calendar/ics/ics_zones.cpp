#include "platform/calendar/ics/ics_zones.h"

#include <string_view>
#include <vector>

#include "platform/calendar/ics/ics_text.h"

namespace vorlane {
namespace {

// Full-history zones have a few hundred transitions; libical expands them all, in memory.
constexpr double maxZoneTransitions = 20000;

// A zone's name as it is compared: without the stray trailing colon Outlook has written.
std::string_view zoneName(std::string_view name) {
  while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.remove_suffix(1);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  return name;
}

icaltimezone* systemZone(std::string_view name) {
  if (name.empty()) return nullptr;
  return icaltimezone_get_builtin_timezone(std::string(name).c_str());
}

}  // namespace

void Zones::learn(icalcomponent* calendar) {
  for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT);
       zone != nullptr;
       zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
    icalproperty* id = icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY);
    const char* name = id != nullptr ? icalproperty_get_tzid(id) : nullptr;
    if (name == nullptr) continue;
    icaltimezone* chosen = nullptr;
    for (icalproperty* p = icalcomponent_get_first_property(zone, ICAL_X_PROPERTY);
         p != nullptr && chosen == nullptr;
         p = icalcomponent_get_next_property(zone, ICAL_X_PROPERTY)) {
      const char* property = icalproperty_get_x_name(p);
      const char* location = icalproperty_get_x(p);
      if (property != nullptr && location != nullptr &&
          equalsIgnoringAsciiCase(property, "X-LIC-LOCATION")) {
        chosen = systemZone(zoneName(location));
      }
    }
    if (chosen == nullptr) chosen = icalcomponent_get_timezone(calendar, name);
    own_.emplace(std::pair(calendar, std::string(zoneName(name))), chosen);
  }
}

icaltimezone* Zones::of(icalproperty* property, icaltimetype value, icalcomponent* calendar) {
  if (value.is_date || icaltime_is_utc(value)) return nullptr;
  if (value.zone != nullptr) return const_cast<icaltimezone*>(value.zone);
  icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
  const char* name = tzid != nullptr ? icalparameter_get_tzid(tzid) : nullptr;
  if (name == nullptr || *name == '\0') return nullptr;
  const auto key = std::pair(calendar, std::string(zoneName(name)));
  if (const auto found = known_.find(key); found != known_.end()) return found->second;
  icaltimezone* zone = systemZone(key.second);
  if (zone == nullptr) {
    if (const auto own = own_.find(key); own != own_.end()) zone = own->second;
  }
  return known_[key] = zone;
}

std::optional<Date> instantOf(icaltimetype value, icaltimezone* zone, const IcsCalendar& calendar) {
  if (icaltime_is_null_time(value) || !icaltime_is_valid_time(value)) return std::nullopt;
  if (icaltime_is_utc(value)) return Date::fromUnix(double(icaltime_as_timet(value)));
  if (!value.is_date && zone != nullptr) {
    return Date::fromUnix(double(icaltime_as_timet_with_zone(value, zone)));
  }
  if (value.is_date) return calendar.date(value.year, value.month, value.day);
  return calendar.date(value.year, value.month, value.day, value.hour, value.minute, value.second);
}

void dropCostlyZones(icalcomponent* calendar, ReadBudget& budget) {
  std::vector<icalcomponent*> costly;
  for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT);
       zone != nullptr;
       zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
    const double cost = zoneCost(zone);
    if (!(cost <= maxZoneTransitions) || !budget.spend(cost)) costly.push_back(zone);
  }
  for (icalcomponent* zone : costly) {
    icalcomponent_remove_component(calendar, zone);
    icalcomponent_free(zone);
  }
}

}  // namespace vorlane
