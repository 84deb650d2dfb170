#include "coordination/calendar_focus/calendar_focus_opt_in.h"

#include <exception>
#include <string>

#include "foundation/json.h"
#include "platform/logging/log.h"

namespace vorlane {

bool CalendarFocusOptIn::load() const {
  if (!recordStore_) return false;
  const StoredData stored = recordStore_->data(key);
  if (stored.isMissing()) return false;
  if (stored.isUnreadable()) {
    Log::pomodoro().error("calendar suggestions setting unreadable, taken as off: %{public}s",
                          stored.reason());
    return false;
  }
  try {
    const Json value = json::parse(stored.bytes());
    if (value.is_boolean()) return value.get<bool>();
  } catch (const std::exception&) {
  }
  Log::pomodoro().error("calendar suggestions setting is not true or false, taken as off");
  return false;
}

void CalendarFocusOptIn::store(bool enabled) const {
  if (!recordStore_) return;
  try {
    recordStore_->setData(key, enabled ? "true" : "false");
  } catch (const std::exception& error) {
    Log::pomodoro().error("could not save calendar suggestions setting: %{public}s",
                          std::string(error.what()));
  }
}

}  // namespace vorlane
