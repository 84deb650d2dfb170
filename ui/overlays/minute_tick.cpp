#include "ui/overlays/minute_tick.h"

#include <cmath>

namespace vorlane {

double secondsToNextMinute(Date now) {
  const double seconds = now.unixSeconds();
  if (!std::isfinite(seconds)) return 60;
  double into = std::fmod(seconds, 60.0);
  if (into < 0) into += 60;  // before 1970
  return 60 - into;
}

}  // namespace vorlane
