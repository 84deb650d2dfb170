#include "platform/calendar/calendar_consent.h"

#include <nlohmann/json.hpp>

namespace vorlane {

namespace {
constexpr long long notDetermined = 0;
constexpr long long denied = 2;
constexpr long long fullAccess = 3;
}  // namespace

CalendarAccess calendarAccessForStatus(long long status) {
  switch (status) {
    case 0:
      return CalendarAccess::notDetermined;
    case 1:
      return CalendarAccess::restricted;
    case 2:
      return CalendarAccess::denied;
    case 3:
      return CalendarAccess::authorized;
    case 4:
      return CalendarAccess::writeOnly;
    default:
      return CalendarAccess::denied;
  }
}

long long CalendarConsent::status() const {
  const StoredData stored = defaults_.data(key);
  if (stored.isMissing()) return notDetermined;
  if (!stored.hasValue()) return denied;
  const nlohmann::json value = nlohmann::json::parse(stored.bytes(), nullptr, false);
  if (value.is_discarded() || !value.is_boolean()) return denied;
  return value.get<bool>() ? fullAccess : denied;
}

void CalendarConsent::store(bool granted) { defaults_.setData(key, granted ? "true" : "false"); }

}  // namespace vorlane
