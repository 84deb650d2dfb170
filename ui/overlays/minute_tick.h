#pragma once

#include "foundation/date.h"

namespace vorlane {

// Seconds from `now` to the next whole minute of the wall clock, in (0, 60]: a full minute
// when `now` is exactly on one. A time that is not finite waits a full minute.
double secondsToNextMinute(Date now);

}  // namespace vorlane
