#include "core/focus/idle_focus_invitations.h"

namespace vorlane {

void IdleFocusInvitations::reset(Date now) {
  nextDue_ = now + firstDelay;
  opportunitiesConsumed_ = 0;
}

bool IdleFocusInvitations::takeDue(Date now) {
  while (nextDue_) {
    const Date due = *nextDue_;
    if (!(now >= due)) return false;
    ++opportunitiesConsumed_;
    const double late = now - due;
    const bool onTime = late <= onTimeTolerance;
    if (opportunitiesConsumed_ < maximumOccasions) {
      nextDue_ = (onTime ? now : due) + secondDelay;
    } else {
      nextDue_.reset();
    }
    if (onTime) return true;
  }
  return false;
}

}  // namespace vorlane
