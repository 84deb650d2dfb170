#include "platform/services/tick_alignment.h"

#include <cmath>

namespace vorlane {

double delayToNextTick(Date now, double interval) {
  if (!std::isfinite(interval) || interval <= 0.0) return 0.0;
  const double seconds = now.unixSeconds();
  if (!std::isfinite(seconds)) return interval;
  double into = std::fmod(seconds, interval);
  if (into < 0.0) into += interval;  // before the epoch
  const double delay = interval - into;
  return delay > 0.0 ? delay : interval;
}

}  // namespace vorlane
