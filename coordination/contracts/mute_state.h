#pragma once

#include <optional>

#include "foundation/date.h"

namespace vorlane {

// The user's mute, asked by whoever judges a visit; kept by the reminders.
class MuteState {
 public:
  virtual ~MuteState() = default;

  // The end of the last mute, also one that has run out; none when never muted.
  virtual const std::optional<Date>& mutedUntil() const = 0;
};

}  // namespace vorlane
