#pragma once

#include <optional>
#include <string>

#include "foundation/date.h"
#include "foundation/json.h"
#include "foundation/uuid.h"

namespace vorlane {

// One finished focus session in the history.
struct FocusHistoryEntry {
  // The session's id: one entry per session.
  UUID id;
  std::string focus;
  // Length of the work phase in seconds.
  double duration = 0;
  Date finishedAt;
  // When the user marked it accomplished; the first moment is kept.
  std::optional<Date> accomplishedAt;
  // The daily priority the session worked on.
  std::optional<UUID> priorityID;

  // {"id","focus","duration","finishedAt","accomplishedAt","priorityID"}, absent optionals
  // left out. Throws EncodingError for a non-finite number.
  Json toJson() const;
  // Requires the first four keys; a missing or null optional reads as absent. Throws
  // DecodingError naming the first bad field.
  static FocusHistoryEntry fromJson(const JsonReader& reader);

  bool operator==(const FocusHistoryEntry&) const = default;
};

}  // namespace vorlane
