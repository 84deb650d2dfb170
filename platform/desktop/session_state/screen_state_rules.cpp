#include "platform/desktop/session_state/screen_state_rules.h"

namespace vorlane {

namespace {
constexpr std::uint16_t dpmsModeOn = 0;
}

bool dpmsSaysAsleep(bool enabled, std::uint16_t powerLevel) {
  return enabled && powerLevel != dpmsModeOn;
}

bool screenUnavailable(const ScreenStateReadings& r) {
  return r.displayAsleep.value_or(false) || r.x11ScreenSaverOn.value_or(false) ||
         r.sessionLocked.value_or(false) || !r.sessionActive.value_or(true) ||
         r.screenSaverActive.value_or(false);
}

}  // namespace vorlane
