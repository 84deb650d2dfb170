#include "core/reminders/recurrence.h"

#include <string>

#include "core/reminders/schedule_bounds.h"

namespace vorlane {

Json Recurrence::toJson() const {
  Json object = Json::object();
  object["days"] = days.toJson();
  object["hour"] = hour;
  object["minute"] = minute;
  return object;
}

namespace {

// The member as an integer from 0 to `last`.
std::int64_t boundedInt(const JsonReader& member, std::int64_t last) {
  const std::int64_t value = member.asInt();
  if (value < 0 || value > last) {
    member.fail(DecodingError::Kind::dataCorrupted,
                std::to_string(value) + " is not from 0 to " + std::to_string(last) + ".");
  }
  return value;
}

}  // namespace

Recurrence Recurrence::fromJson(const JsonReader& reader) {
  // Read in member order so that the first bad member is the one reported.
  RecurrenceDays days = RecurrenceDays::fromJson(reader["days"]);
  const std::int64_t hour = boundedInt(reader["hour"], lastHour);
  const std::int64_t minute = boundedInt(reader["minute"], lastMinute);
  return Recurrence(std::move(days), hour, minute);
}

}  // namespace vorlane
