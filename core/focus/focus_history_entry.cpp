#include "core/focus/focus_history_entry.h"

namespace vorlane {

Json FocusHistoryEntry::toJson() const {
  Json object = Json::object();
  object["id"] = json::fromUUID(id);
  object["focus"] = focus;
  object["duration"] = json::fromDouble(duration);
  object["finishedAt"] = json::fromDate(finishedAt);
  if (accomplishedAt) object["accomplishedAt"] = json::fromDate(*accomplishedAt);
  if (priorityID) object["priorityID"] = json::fromUUID(*priorityID);
  return object;
}

FocusHistoryEntry FocusHistoryEntry::fromJson(const JsonReader& reader) {
  FocusHistoryEntry entry;
  entry.id = reader["id"].asUUID();
  entry.focus = reader["focus"].asString();
  entry.duration = reader["duration"].asDouble();
  entry.finishedAt = reader["finishedAt"].asDate();
  if (auto at = reader.optional("accomplishedAt")) entry.accomplishedAt = at->asDate();
  if (auto id = reader.optional("priorityID")) entry.priorityID = id->asUUID();
  return entry;
}

}  // namespace vorlane
