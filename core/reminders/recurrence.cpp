#include "core/reminders/recurrence.h"

namespace vorlane {

Json Recurrence::toJson() const {
  Json object = Json::object();
  object["days"] = days.toJson();
  object["hour"] = hour;
  object["minute"] = minute;
  return object;
}

Recurrence Recurrence::fromJson(const JsonReader& reader) {
  // Read in member order so that the first bad member is the one reported.
  RecurrenceDays days = RecurrenceDays::fromJson(reader["days"]);
  const std::int64_t hour = reader["hour"].asInt();
  const std::int64_t minute = reader["minute"].asInt();
  return Recurrence(std::move(days), hour, minute);
}

}  // namespace vorlane
