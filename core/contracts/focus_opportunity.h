#pragma once

#include <cstdint>
#include <optional>

#include "foundation/date.h"

namespace vorlane {

// A free stretch offered for focusing: its length in whole minutes, when it ends, and the
// start of the next busy stretch (none when nothing follows).
struct FocusOpportunity {
  std::int64_t minutes = 0;
  Date endsAt;
  std::optional<Date> nextBusyAt;

  bool operator==(const FocusOpportunity&) const = default;
};

}  // namespace vorlane
