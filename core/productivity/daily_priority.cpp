#include "core/productivity/daily_priority.h"

#include <utility>

namespace vorlane {

Json DailyPriority::toJson() const {
  Json days = Json::array();
  for (const std::string& day : plannedDays) days.push_back(day);
  Json object = {{"id", json::fromUUID(id)},
                 {"title", title},
                 {"createdAt", json::fromDate(createdAt)},
                 {"plannedDays", std::move(days)}};
  if (accomplishedAt) object["accomplishedAt"] = json::fromDate(*accomplishedAt);
  return object;
}

DailyPriority DailyPriority::fromJson(const JsonReader& reader) {
  // Read in key order so that the first bad key is the one reported.
  DailyPriority priority;
  priority.id = reader["id"].asUUID();
  priority.title = reader["title"].asString();
  priority.createdAt = reader["createdAt"].asDate();
  for (const JsonReader& day : reader["plannedDays"].elements()) {
    priority.plannedDays.push_back(day.asString());
  }
  if (const std::optional<JsonReader> done = reader.optional("accomplishedAt")) {
    priority.accomplishedAt = done->asDate();
  }
  return priority;
}

}  // namespace vorlane
