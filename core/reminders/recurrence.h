#pragma once

#include <cstdint>

#include "core/reminders/recurrence_days.h"
#include "foundation/json.h"

namespace vorlane {

// A wall-clock time on chosen days of the week. Hour (0-23) and minute (0-59) are checked
// only when read from JSON; a value out of range made here simply never yields a fire time.
struct Recurrence {
  Recurrence(RecurrenceDays days, std::int64_t hour, std::int64_t minute)
      : days(std::move(days)), hour(hour), minute(minute) {}

  RecurrenceDays days;
  std::int64_t hour;
  std::int64_t minute;

  // {"days":{...},"hour":9,"minute":30}
  Json toJson() const;
  // All three members required; throws DecodingError naming the bad member, dataCorrupted
  // for an hour or minute out of range.
  static Recurrence fromJson(const JsonReader& reader);

  bool operator==(const Recurrence&) const = default;
};

}  // namespace vorlane
