#pragma once

#include <string>

#include "core/contracts/calendar_access.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

// Linux has no calendar permission, so the user's answer to our own prompt stands in for it,
// under the record-store key "calendarAccess.v1": nothing stored is "not asked", false
// "refused", true "granted". Read afresh on every question.
class CalendarConsent {
 public:
  static constexpr const char* key = "calendarAccess.v1";

  explicit CalendarConsent(RecordStore& recordStore) : recordStore_(recordStore) {}

  // The stored answer. A record that cannot be read, or holds anything but true or false,
  // counts as refused: it is never taken for "not asked" and overwritten.
  CalendarAccess access() const;

  // Stores the user's answer; throws when it could not be stored.
  void store(bool granted);

 private:
  RecordStore& recordStore_;
};

}  // namespace vorlane
