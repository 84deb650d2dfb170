// Idle focus invitations and encouragements.
#include "coordination/visit_coordinator.h"
#include "core/motivation/encouragement_library.h"

namespace vorlane {

void VisitCoordinator::considerIdleFocusInvitation() {
  const Date now = clock_->now();
  // A busy user starts the wait over, so the first invitation comes a while after the
  // session, or after the editor was closed.
  if (!pomodoro_.phase().is<PomodoroSession::Phase::Idle>() || pomodoro_.completion() ||
      focusEditorIsOpen()) {
    idleInvitations_.reset(now);
    return;
  }
  if (!idleInvitations_.takeDue(now)) return;
  // The occasion is used up from here, shown or not.
  const Preferences preferences = preferencesStore_->preferences();
  if (!preferences.idleFocusInvitationsEnabled || preferences.presenceMode != PresenceMode::peek) {
    return;
  }
  if (!isWithinActiveHours(now)) return;
  if (!suppressionDecision(now).isAllowed()) return;
  presenter_->offerFocusInvitation(static_cast<int>(effectiveWorkMinutes(preferences)),
                                   prefersReducedMotion_());
}

void VisitCoordinator::considerEncouragement() {
  const Date now = clock_->now();
  using Phase = PomodoroSession::Phase;
  Encouragement::Moment moment;
  if (pomodoro_.phase().is<Phase::OnBreak>()) {
    moment = Encouragement::Moment::onBreak;
  } else if (pomodoro_.phase().is<Phase::Idle>() && !pomodoro_.completion()) {
    moment = Encouragement::Moment::idle;
  } else {
    return;
  }
  const EncouragementContext context{moment, static_cast<int>(pomodoro_.completedToday())};
  const std::optional<Encouragement> encouragement =
      encouragements_.takeDue(now, context, *random_);
  if (!encouragement) return;
  // Used up from here: switching them on again does not release a backlog.
  if (!preferencesStore_->preferences().encouragementsEnabled ||
      presenter_->isPerformingVisit() || focusEditorIsOpen() || !isWithinActiveHours(now)) {
    return;
  }
  enqueue(encouragementVisit(*encouragement, clock_->now()));
}

void VisitCoordinator::encourageNow() {
  const bool onBreak = pomodoro_.phase().kind() == PomodoroSession::Kind::rest;
  const EncouragementContext context{
      onBreak ? Encouragement::Moment::onBreak : Encouragement::Moment::idle,
      static_cast<int>(pomodoro_.completedToday())};
  const Encouragement encouragement = EncouragementLibrary::pick(context, {}, *random_);
  presenter_->setBubbleVisible(true);
  presenter_->performIfFree(encouragementVisit(encouragement, clock_->now()),
                            [weak = weak_from_this()] {
                              if (const auto self = weak.lock()) self->signalStateChanged();
                            });
}

bool VisitCoordinator::isWithinActiveHours(Date date) const {
  return preferencesStore_->preferences().isWithinActiveHours(calendar().hour(date));
}

bool VisitCoordinator::focusEditorIsOpen() const {
  return windows_.focusEditor && windows_.focusEditor->isOpen();
}

Visit VisitCoordinator::encouragementVisit(const Encouragement& encouragement, Date now) {
  const std::string text = encouragement.bubbleText();
  // Never spoken: the bubble alone, held long enough to read.
  return Visit{UUID::random(), Visit::Kind::encouragement(), now, "", text, true,
               Visit::BubbleStyle::note, Choreography::reading(text), true};
}

}  // namespace vorlane
