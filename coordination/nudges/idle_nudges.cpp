// Idle focus invitations and encouragements.
#include "coordination/nudges/idle_nudges.h"

#include <utility>

#include "core/motivation/encouragement_library.h"

namespace vorlane {

IdleNudges::IdleNudges(Dependencies d)
    : clock_(std::move(d.clock)),
      presenter_(std::move(d.presenter)),
      preferencesStore_(std::move(d.preferencesStore)),
      random_(std::move(d.random)),
      focusSessionEditor_(std::move(d.focusSessionEditor)),
      calendar_(std::move(d.calendar)),
      prefersReducedMotion_(std::move(d.prefersReducedMotion)),
      visits_(std::move(d.visits)),
      observer_(std::move(d.observer)) {
  invitations_.reset(clock_->now());
}

void IdleNudges::restart(Date now) {
  invitations_.reset(now);
  encouragements_.reset(now, *random_);
}

void IdleNudges::restartInvitationWait(Date now) { invitations_.reset(now); }

void IdleNudges::considerInvitation(const PomodoroSession& session, Date now) {
  // A busy user starts the wait over, so the first invitation comes a while after the
  // session, or after the editor was closed.
  if (!session.phase().is<PomodoroSession::Phase::Idle>() || session.completion() ||
      focusSessionEditorIsOpen()) {
    invitations_.reset(now);
    return;
  }
  if (!invitations_.takeDue(now)) return;
  // The occasion is used up from here, shown or not.
  const Preferences preferences = preferencesStore_->preferences();
  if (!preferences.idleFocusInvitationsEnabled || preferences.presenceMode != PresenceMode::peek) {
    return;
  }
  if (!isWithinActiveHours(now)) return;
  if (!visits_->suppressionDecision(now).isAllowed()) return;
  presenter_->offerFocusInvitation(static_cast<int>(preferences.effectiveWorkMinutes()),
                                   prefersReducedMotion_());
}

void IdleNudges::considerEncouragement(const PomodoroSession& session, Date now) {
  using Phase = PomodoroSession::Phase;
  Encouragement::Moment moment;
  if (session.phase().is<Phase::OnBreak>()) {
    moment = Encouragement::Moment::onBreak;
  } else if (session.phase().is<Phase::Idle>() && !session.completion()) {
    moment = Encouragement::Moment::idle;
  } else {
    return;
  }
  const EncouragementContext context{moment, static_cast<int>(session.completedToday())};
  const std::optional<Encouragement> encouragement =
      encouragements_.takeDue(now, context, *random_);
  if (!encouragement) return;
  // Used up from here: switching them on again does not release a backlog.
  if (!preferencesStore_->preferences().encouragementsEnabled || presenter_->isPerformingVisit() ||
      focusSessionEditorIsOpen() || !isWithinActiveHours(now)) {
    return;
  }
  visits_->enqueue(encouragementVisit(*encouragement, clock_->now()));
}

void IdleNudges::encourageNow(const PomodoroSession& session) {
  const bool onBreak = session.phase().kind() == PomodoroSession::Kind::rest;
  const EncouragementContext context{
      onBreak ? Encouragement::Moment::onBreak : Encouragement::Moment::idle,
      static_cast<int>(session.completedToday())};
  const Encouragement encouragement = EncouragementLibrary::pick(context, {}, *random_);
  presenter_->setBubbleVisible(true);
  presenter_->performIfFree(encouragementVisit(encouragement, clock_->now()),
                            [observer = observer_] {
                              if (const auto self = observer.lock()) self->stateChanged();
                            });
}

bool IdleNudges::isWithinActiveHours(Date date) const {
  return preferencesStore_->preferences().isWithinActiveHours(calendar_().hour(date));
}

bool IdleNudges::focusSessionEditorIsOpen() const {
  return focusSessionEditor_ && focusSessionEditor_->isOpen();
}

Visit IdleNudges::encouragementVisit(const Encouragement& encouragement, Date now) {
  const std::string text = encouragement.bubbleText();
  // Never spoken: the bubble alone, held long enough to read.
  return Visit{UUID::random(),           Visit::Kind::encouragement(), now, "", text, true,
               Visit::BubbleStyle::note, Choreography::reading(text),  true};
}

}  // namespace vorlane
