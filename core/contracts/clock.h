#pragma once

#include "foundation/date.h"

namespace vorlane {

// The source of the current time. Callers read it once per decision.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual Date now() const = 0;
};

// The system's real-time clock, read afresh on every call.
class SystemClock final : public Clock {
 public:
  Date now() const override;
};

}  // namespace vorlane
