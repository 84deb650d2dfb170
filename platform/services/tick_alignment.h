#pragma once

#include "foundation/date.h"

namespace vorlane {

// Seconds from `now` to the next wall-clock instant that is a whole number of `interval`s
// since the Unix epoch: for 30 s, the next :00 or :30 of a minute. In (0, interval]: a time
// on such an instant waits a whole interval. Zone offsets are whole minutes, so local and
// UTC half minutes are the same instants. An interval that is not a positive finite number
// gives 0; a `now` that is not finite gives the interval.
double delayToNextTick(Date now, double interval);

}  // namespace vorlane
