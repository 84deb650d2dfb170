// The focus session's and the reminders' operations, passed to the part that keeps them.
#include "coordination/visit_coordinator.h"

namespace vorlane {

void VisitCoordinator::requestNewPomodoro() { focus_->requestNewPomodoro(); }
void VisitCoordinator::requestFiveMinuteFocus() { focus_->requestFiveMinuteFocus(); }
void VisitCoordinator::startBreak() { focus_->startBreak(); }
void VisitCoordinator::requestPauseSession() { focus_->requestPauseSession(); }
void VisitCoordinator::requestResumeSession() { focus_->requestResumeSession(); }
void VisitCoordinator::pauseSession() { focus_->pauseSession(); }
void VisitCoordinator::resumeSession() { focus_->resumeSession(); }
void VisitCoordinator::extendSession(int minutes) { focus_->extendSession(minutes); }
void VisitCoordinator::skipBreak() { focus_->skipBreak(); }
void VisitCoordinator::cancelPomodoro() { focus_->cancelPomodoro(); }
void VisitCoordinator::dismissCompletion() { focus_->dismissCompletion(); }
void VisitCoordinator::markFocusAccomplished() { focus_->markFocusAccomplished(); }
void VisitCoordinator::previewCelebration() { focus_->previewCelebration(); }
void VisitCoordinator::saveFocusForTermination() { focus_->saveFocusForTermination(); }
void VisitCoordinator::showResumeNotes(bool returning) { focus_->showResumeNotes(returning); }
void VisitCoordinator::saveNextStep(const std::string& text) { focus_->saveNextStep(text); }

Reminder VisitCoordinator::addReminder(const std::string& text) { return reminders_->add(text); }

Reminder VisitCoordinator::updateReminder(const UUID& id, const std::string& phrase,
                                          const std::string& schedule) {
  return reminders_->update(id, phrase, schedule);
}

void VisitCoordinator::removeReminder(const UUID& id) { reminders_->remove(id); }
void VisitCoordinator::undoLastReminder() { reminders_->undoLast(); }
void VisitCoordinator::snoozeLastReminder(std::int64_t minutes) { reminders_->snoozeLast(minutes); }
// Muting also silences what is being said right now, not only what comes later.
void VisitCoordinator::mute(MuteDuration duration) {
  reminders_->mute(duration);
  speech_->stop();
}
void VisitCoordinator::unmute() { reminders_->unmute(); }
void VisitCoordinator::toggleMute() {
  reminders_->toggleMute();
  if (reminders_->isMuted(clock_->now())) speech_->stop();
}
std::optional<Date> VisitCoordinator::muteExpiry() const { return reminders_->muteExpiry(); }

void VisitCoordinator::encourageNow() { nudges_->encourageNow(pomodoro()); }

}  // namespace vorlane
