#include "platform/calendar/calendar_consent.h"

#include <nlohmann/json.hpp>

namespace vorlane {

CalendarAccess CalendarConsent::access() const {
  const StoredData stored = defaults_.data(key);
  if (stored.isMissing()) return CalendarAccess::notAsked;
  if (!stored.hasValue()) return CalendarAccess::refused;
  const nlohmann::json value = nlohmann::json::parse(stored.bytes(), nullptr, false);
  if (value.is_discarded() || !value.is_boolean()) return CalendarAccess::refused;
  return value.get<bool>() ? CalendarAccess::granted : CalendarAccess::refused;
}

void CalendarConsent::store(bool granted) { defaults_.setData(key, granted ? "true" : "false"); }

}  // namespace vorlane
