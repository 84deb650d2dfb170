// Opening the feature windows.
#include "coordination/coordinator/visit_coordinator.h"

namespace vorlane {

void VisitCoordinator::show(WindowKind kind) {
  switch (kind) {
    case WindowKind::quickCommand:
      showQuickCommand();
      return;
    case WindowKind::today:
      showToday();
      return;
    case WindowKind::focusHistory:
      showFocusHistory();
      return;
    case WindowKind::weeklyReflection:
      showWeeklyReflection();
      return;
    case WindowKind::calendarFocus:
      showCalendarFocus();
      return;
    default:
      return;  // opened by a command of their own, by the status item or the shell
  }
}

void VisitCoordinator::showToday() {
  if (!windows_.get<TodayWindow>()) return;
  const auto weak = weak_from_this();
  windows_.get<TodayWindow>()->show(
      *priorities_, static_cast<int>(preferencesStore_->preferences().effectiveWorkMinutes()),
      focus_->recoveryError(),
      [weak] {
        // Called from a window's slot: a failed removal is reported there, never thrown.
        if (const auto self = weak.lock()) self->focus_->discardRecovery();
      },
      [weak](const UUID& id, bool starter) {
        const auto self = weak.lock();
        if (!self) throw ActionError(ActionErrorCase::applicationClosing);
        self->focus_->startPriority(id, starter);
      });
}

void VisitCoordinator::showWeeklyReflection() {
  if (!windows_.get<WeeklyReflectionWindow>()) return;
  windows_.get<WeeklyReflectionWindow>()->show(*focusHistory_, *priorities_,
                                               weakly(&VisitCoordinator::showFocusHistory));
}

void VisitCoordinator::showFocusHistory() { focus_->showFocusHistory(); }

void VisitCoordinator::showCalendarFocus() {
  if (!calendarFocus_ || !windows_.get<CalendarFocusWindow>()) return;
  windows_.get<CalendarFocusWindow>()->show(
      *calendarFocus_, *priorities_,
      [weak = weak_from_this()](int minutes, const std::string& goal, std::optional<UUID> id) {
        const auto self = weak.lock();
        if (!self) throw ActionError(ActionErrorCase::applicationClosing);
        self->focus_->startCalendarFocus(minutes, goal, id);
      });
}

}  // namespace vorlane
