#include "core/desktop/idle_fidget.h"

#include <cstdint>

namespace vorlane {
namespace {

std::uint64_t weight(IdleFidget fidget) {
  switch (fidget.value()) {
    case IdleFidget::sway:
      return 4;
    case IdleFidget::lookAround:
      return 3;
    case IdleFidget::scratchHead:
      return 2;
    case IdleFidget::wave:
      return 1;
    case IdleFidget::kick:
      return 1;
    case IdleFidget::swing:
      return 2;
  }
  return 0;
}

}  // namespace

double IdleFidget::nextDelay(RandomGenerator& generator) {
  return uniformClosed(generator, delayRange.lowerBound, delayRange.upperBound);
}

IdleFidget IdleFidget::pick(std::optional<IdleFidget> previous, bool holdingSign,
                            RandomGenerator& generator) {
  std::array<IdleFidget, 6> candidates = allCases();
  std::size_t count = 0;
  std::uint64_t total = 0;
  for (IdleFidget fidget : allCases()) {
    const bool fitsSign = !holdingSign || fidget.keepsHandsOnSign();
    const bool fresh = fidget != previous || fidget == sway;
    if (fitsSign && fresh) {
      candidates[count++] = fidget;
      total += weight(fidget);
    }
  }
  std::uint64_t r = uniformBelow(generator, total);
  for (std::size_t i = 0; i < count; ++i) {
    if (r < weight(candidates[i])) return candidates[i];
    r -= weight(candidates[i]);
  }
  return sway;
}

}  // namespace vorlane
