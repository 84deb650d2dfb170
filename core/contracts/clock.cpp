#include "core/contracts/clock.h"

#include <chrono>

namespace vorlane {

Date SystemClock::now() const {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return Date::fromUnix(std::chrono::duration<double>(sinceEpoch).count());
}

}  // namespace vorlane
