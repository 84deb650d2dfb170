#pragma once

#include <optional>
#include <string>

#include "foundation/date.h"
#include "foundation/uuid.h"

namespace vorlane {

// One finished focus session as the weekly reflection reads it; the caller builds it from a
// focus history entry.
struct FocusSample {
  // As typed; may be empty.
  std::string goal;
  // Focused seconds.
  double duration = 0;
  Date finishedAt;
  std::optional<Date> accomplishedAt;
  // The daily priority the session worked on.
  std::optional<UUID> priorityID;
};

}  // namespace vorlane
