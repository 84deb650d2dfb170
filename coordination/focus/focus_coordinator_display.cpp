// What the mascot shows of a focus session: the billboard's countdown and caption, the
// finished-period panel with its two reminders, and the answers to a finished period.
#include <exception>
#include <string>

#include "coordination/focus/focus_coordinator.h"
#include "foundation/text.h"
#include "platform/logging/log.h"

namespace vorlane {
namespace {

using Phase = PomodoroSession::Phase;
using Kind = PomodoroSession::Kind;

bool isCompletionVisit(const Visit& visit) {
  const auto kind = visit.kind.value();
  return kind == Visit::Kind::Case::pomodoroComplete || kind == Visit::Kind::Case::breakComplete;
}

}  // namespace

void FocusCoordinator::updateSessionDisplay() {
  const Date now = clock_->now();
  if (!pomodoro_.completion()) {
    const auto progress = pomodoro_.progress(now);
    const auto remaining = pomodoro_.remaining(now);
    if (!progress || !remaining) return;  // idle: nothing to show
    presenter_->showSession(*progress, PomodoroSession::countdown(*remaining), sessionCaption());
    return;
  }

  // A copy: the presenter may call back into the coordinator.
  const PomodoroSession::Completion completion = *pomodoro_.completion();
  if (completionPresentationAllowed_) {
    presenter_->showCompletion(completion, timeFormatter().format(now),
                               completion.elapsedDescription(now), prefersReducedMotion_());
    phaseChanged();
  }
  if (!completionReminders_.takeDueReminder(completion, now)) return;

  // A reminder only re-emphasises the panel: never a visit, never a notification.
  const SuppressionDecision decision = visits_->suppressionDecision(now);
  if (completionPresentationAllowed_ && decision.isAllowed()) {
    const bool shown = presenter_->remindAboutCompletion(prefersReducedMotion_());
    Log::pomodoro().info("completion reminder %{public}s", shown ? "shown" : "skipped while busy");
    return;
  }
  const auto& reason = decision.reason();
  const std::string why = decision.isAllowed() || !reason ? "original completion was suppressed"
                                                          : reason->explanation();
  Log::pomodoro().info("completion reminder suppressed: %{public}s", why);
}

std::string FocusCoordinator::sessionCaption() const {
  if (pomodoro_.isPaused()) return nextStep_.empty() ? "paused" : "Next: " + isolated(nextStep_);
  const auto kind = pomodoro_.phase().kind();
  if (kind == Kind::work && !pomodoro_.focus().empty()) return pomodoro_.focus();
  if (kind == Kind::rest) return "break";
  return "focus";
}

void FocusCoordinator::clearCompletionDisplay() {
  completionPresentationAllowed_ = false;
  // Told of no completion, the reminders forget the one they were timing.
  completionReminders_.takeDueReminder(std::nullopt, clock_->now());
  presenter_->showCompletion(std::nullopt, "", "Finished just now", false);
  // A finished-period visit still held would come after the user has moved on.
  visits_->withdraw(isCompletionVisit);
}

void FocusCoordinator::dismissCompletion() {
  if (pomodoro_.completion()) cancelPomodoro();
}

void FocusCoordinator::markFocusAccomplished() {
  const auto& held = pomodoro_.completion();
  if (!held || held->kind != Kind::work || held->focus.empty()) {
    Log::pomodoro().error("No completed named focus to mark accomplished");
    return;
  }
  const PomodoroSession::Completion completion = *held;
  try {
    // Recording again is harmless: the history keeps one entry per session.
    focusHistory_->record(completion, activePriorityID_);
    focusHistory_->markAccomplished(completion.sessionID, clock_->now());
  } catch (const std::exception& error) {
    // The panel stays, so the user can try again.
    focusHistory_->reportFailure(error);
    showFocusHistory();
    return;
  }
  cancelPomodoro();
  showFocusHistory();
}

void FocusCoordinator::previewCelebration() {
  const Visit visit{UUID::random(),
                    Visit::Kind::pomodoroComplete(),
                    clock_->now(),
                    "",
                    "Nice work",
                    true,
                    Visit::BubbleStyle::headline,
                    Choreography::triumphant(),
                    true};
  presenter_->setBubbleVisible(true);
  // A busy mascot simply shows no preview.
  presenter_->performIfFree(visit, [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->stateChanged();
  });
}

void FocusCoordinator::showFocusHistory() {
  if (focusHistoryWindow_) focusHistoryWindow_->show(*focusHistory_);
}

const ShortTimeFormatter& FocusCoordinator::timeFormatter() {
  if (!timeFormatter_) timeFormatter_.emplace(calendar_());
  return *timeFormatter_;
}

}  // namespace vorlane
