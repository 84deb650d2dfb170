// The mute, which also reaches speech, and the encouragement, which reads the session.
#include "coordination/coordinator/visit_coordinator.h"

namespace vorlane {

// Muting also silences what is being said right now, not only what comes later.
void VisitCoordinator::mute(MuteDuration duration) {
  reminders_->mute(duration);
  speech_->stop();
}
void VisitCoordinator::toggleMute() {
  reminders_->toggleMute();
  if (reminders_->isMuted(clock_->now())) speech_->stop();
}

void VisitCoordinator::encourageNow() { nudges_->encourageNow(focus_->pomodoro()); }

}  // namespace vorlane
