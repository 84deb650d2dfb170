#pragma once

#include "foundation/date.h"

namespace vorlane {

// One busy stretch of the user's calendar.
struct BusyInterval {
  Date start;
  Date end;

  bool operator==(const BusyInterval&) const = default;
};

}  // namespace vorlane
