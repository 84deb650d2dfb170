#include "platform/calendar/calendar_consent.h"

#include <exception>

#include "foundation/json.h"

namespace vorlane {

CalendarAccess CalendarConsent::access() const {
  const StoredData stored = recordStore_.data(key);
  if (stored.isMissing()) return CalendarAccess::notAsked;
  if (!stored.hasValue()) return CalendarAccess::refused;
  try {
    // The shared parser: a NUL byte ("true\0...") is damage, not the end of the record.
    const Json value = json::parse(stored.bytes());
    if (value.is_boolean() && value.get<bool>()) return CalendarAccess::granted;
  } catch (const std::exception&) {
  }
  return CalendarAccess::refused;
}

void CalendarConsent::store(bool granted) { recordStore_.setData(key, granted ? "true" : "false"); }

}  // namespace vorlane
