#pragma once

#include <cstdint>
#include <optional>

#include "foundation/date.h"

namespace vorlane {

// How often an idle user is invited to start a focus: once a quarter of an hour after
// becoming free, at most once more an hour later, and never for an occasion that passed
// unnoticed. A cadence that was never reset never fires.
class IdleFocusInvitations {
 public:
  static constexpr double firstDelay = 900;
  static constexpr double secondDelay = 3600;
  static constexpr std::int64_t maximumOccasions = 2;
  // How late an occasion may be noticed and still be offered.
  static constexpr double onTimeTolerance = 30;

  IdleFocusInvitations() = default;

  // Starts a new cadence: the first occasion 900 s after `now`.
  void reset(Date now);
  // True when an invitation should be offered now. Every occasion due by `now` is used up;
  // one noticed more than 30 s late is used up without an invitation. The second occasion
  // follows an hour after the first was offered, or after its due time when it was missed.
  bool takeDue(Date now);

  bool operator==(const IdleFocusInvitations&) const = default;

 private:
  std::optional<Date> nextDue_;
  std::int64_t opportunitiesConsumed_ = 0;
};

}  // namespace vorlane
