// Opening the feature windows, and starting a focus from a priority or a calendar gap.
#include "coordination/visit_coordinator.h"
#include "core/focus/focus_input.h"

namespace vorlane {
namespace {

// The shortest free gap worth a focus.
constexpr int shortestCalendarFocus = 5;

}  // namespace

void VisitCoordinator::showToday() {
  if (!windows_.today) return;
  const auto weak = weak_from_this();
  windows_.today->show(
      *priorities_, static_cast<int>(effectiveWorkMinutes(preferencesStore_->preferences())),
      recoveryError(),
      [weak] {
        const auto self = weak.lock();
        if (!self) return;
        // Only the saved checkpoint goes; a running or paused session stays as it is.
        self->recovery_->clear();
        self->recoverySaveError_.reset();
      },
      [weak](const UUID& id, bool starter) {
        const auto self = weak.lock();
        if (!self) throw ActionError(ActionErrorCase::noRunningSession);
        self->startPriority(id, starter);
      });
}

void VisitCoordinator::showWeeklyReflection() {
  if (!windows_.reflection) return;
  windows_.reflection->show(*focusHistory_, *priorities_, [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->showFocusHistory();
  });
}

void VisitCoordinator::showFocusHistory() {
  if (windows_.focusHistory) windows_.focusHistory->show(*focusHistory_);
}

void VisitCoordinator::showCalendarFocus() {
  if (!calendarFocus_ || !windows_.calendar) return;
  windows_.calendar->show(
      *calendarFocus_, *priorities_,
      [weak = weak_from_this()](int minutes, const std::string& goal, std::optional<UUID> id) {
        const auto self = weak.lock();
        if (!self) throw ActionError(ActionErrorCase::noRunningSession);
        self->startCalendarFocus(minutes, goal, id);
      });
}

void VisitCoordinator::startPriority(const UUID& id, bool starter) {
  const std::string title = openPriority(id).title;
  const int minutes = starter ? starterMinutes
                              : static_cast<int>(effectiveWorkMinutes(preferencesStore_->preferences()));
  startRequestedFocus(minutes, title);
  // Beginning a focus clears the link, so it is set afterwards.
  activePriorityID_ = id;
}

void VisitCoordinator::startCalendarFocus(int minutes, const std::string& goal,
                                          std::optional<UUID> priorityID) {
  if (pomodoro_.phase().kind()) throw ActionError(ActionErrorCase::activeSession);
  if (!FocusInput::isValidGoal(goal) || minutes < shortestCalendarFocus ||
      minutes > effectiveWorkMinutes(preferencesStore_->preferences())) {
    throw ActionError(ActionErrorCase::invalidGoal);
  }
  if (priorityID) openPriority(*priorityID);
  // Never a starter, not even at five minutes: the gap sets the length.
  beginFocus(minutes, goal, false);
  activePriorityID_ = priorityID;
}

const DailyPriority& VisitCoordinator::openPriority(const UUID& id) const {
  for (const DailyPriority& priority : priorities_->plan().items()) {
    if (priority.id != id) continue;
    if (priority.accomplishedAt) {
      throw DailyPriorities::Error(DailyPriorities::ErrorCase::alreadyDone);
    }
    return priority;
  }
  throw DailyPriorities::Error(DailyPriorities::ErrorCase::missing);
}

std::optional<std::string> VisitCoordinator::recoveryError() const {
  if (const auto& loadError = recovery_->document().errorMessage()) return loadError;
  return recoverySaveError_;
}

}  // namespace vorlane
