#pragma once

#include "core/motivation/encouragement.h"

namespace vorlane {

// The situation an encouragement is picked for.
struct EncouragementContext {
  Encouragement::Moment moment = Encouragement::Moment::idle;
  int completedToday = 0;  // focus sessions completed today

  bool operator==(const EncouragementContext&) const = default;
};

}  // namespace vorlane
