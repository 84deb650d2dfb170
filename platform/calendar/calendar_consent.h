#pragma once

#include <string>

#include "platform/persistence/user_defaults.h"
#include "core/contracts/calendar_access.h"

namespace vorlane {

// The access state as the platform would report it: 0 not determined, 1 restricted,
// 2 denied, 3 full access, 4 write only. Any other value means denied.
CalendarAccess calendarAccessForStatus(long long status);

// Linux has no calendar permission, so the user's answer to our own prompt stands in for it,
// under the user-defaults key "calendarAccess.v1": nothing stored is "not determined", false
// "denied", true "full access". Read afresh on every question.
class CalendarConsent {
 public:
  static constexpr const char* key = "calendarAccess.v1";

  explicit CalendarConsent(UserDefaults& defaults) : defaults_(defaults) {}

  // The status code of the stored answer. A record that cannot be read, or holds anything
  // but true or false, counts as denied: it is never taken for "not asked" and overwritten.
  long long status() const;
  CalendarAccess access() const { return calendarAccessForStatus(status()); }

  // Stores the user's answer; throws when it could not be stored.
  void store(bool granted);

 private:
  UserDefaults& defaults_;
};

}  // namespace vorlane
