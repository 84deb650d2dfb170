#pragma once

#include <optional>

#include "coordination/contracts/mute_state.h"

namespace vorlane {

// A mute the test sets by hand.
class FakeMuteState final : public MuteState {
 public:
  const std::optional<Date>& mutedUntil() const override { return until; }

  std::optional<Date> until;
};

}  // namespace vorlane
