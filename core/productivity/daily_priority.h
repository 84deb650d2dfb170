#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/date.h"
#include "foundation/json.h"
#include "foundation/uuid.h"

namespace vorlane {

// One priority the user planned for one or more days.
struct DailyPriority {
  UUID id;
  // Cleaned when added; read back as stored.
  std::string title;
  Date createdAt;
  // Day keys ("2026-03-05"), kept sorted by the operations that add keys.
  std::vector<std::string> plannedDays;
  // The first moment it was marked accomplished; none while open.
  std::optional<Date> accomplishedAt;

  // {"id","title","createdAt","plannedDays","accomplishedAt"}, the last left out while open.
  // Throws EncodingError for a date that is not finite.
  Json toJson() const;
  // Requires "id", "title", "createdAt" and "plannedDays" with their types; a missing or
  // null "accomplishedAt" reads as open; other keys are ignored. Applies no limits.
  // Throws DecodingError naming the first bad field.
  static DailyPriority fromJson(const JsonReader& reader);

  bool operator==(const DailyPriority&) const = default;
};

}  // namespace vorlane
