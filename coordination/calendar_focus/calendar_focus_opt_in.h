#pragma once

#include "platform/persistence/record_store.h"

namespace vorlane {

// The user's opt-in to calendar suggestions, the one thing the calendar focus keeps: a
// JSON true or false under "calendarFocusEnabled". Never throws: a record that cannot be
// read or holds anything else reads as off, and a write that fails is logged (the caller's
// flag then holds for this session only).
class CalendarFocusOptIn {
 public:
  static constexpr const char* key = "calendarFocusEnabled";

  // No store: nothing is kept and the opt-in reads as off.
  explicit CalendarFocusOptIn(RecordStore* recordStore) : recordStore_(recordStore) {}

  bool load() const;
  void store(bool enabled) const;

 private:
  RecordStore* recordStore_;
};

}  // namespace vorlane
