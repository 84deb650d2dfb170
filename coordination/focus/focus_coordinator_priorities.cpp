// Starting a focus on a daily priority or in a free calendar gap.
#include "coordination/focus/focus_coordinator.h"
#include "core/focus/focus_input.h"

namespace vorlane {
namespace {

// The shortest free gap worth a focus.
constexpr int shortestCalendarFocus = 5;

}  // namespace

void FocusCoordinator::startPriority(const UUID& id, bool starter) {
  const std::string title = openPriority(id).title;
  // The title was judged when it was added; one stored before invisible titles were
  // refused still starts, as its card offers.
  startJudgedFocus(starter ? starterMinutes : workMinutes(), title, FocusInput::isStoredGoal);
  // Beginning a focus clears the link, so it is set afterwards.
  activePriorityID_ = id;
}

void FocusCoordinator::startCalendarFocus(int minutes, const std::string& goal,
                                          std::optional<UUID> priorityID) {
  if (pomodoro_.phase().kind()) throw ActionError(ActionErrorCase::activeSession);
  if (!FocusInput::isValidGoal(goal) || minutes < shortestCalendarFocus ||
      minutes > workMinutes()) {
    throw ActionError(ActionErrorCase::invalidGoal);
  }
  if (priorityID) openPriority(*priorityID);
  // Never a starter, not even at five minutes: the gap sets the length.
  beginFocus(minutes, goal, false);
  activePriorityID_ = priorityID;
}

const DailyPriority& FocusCoordinator::openPriority(const UUID& id) const {
  for (const DailyPriority& priority : priorities_->plan().items()) {
    if (priority.id != id) continue;
    if (priority.accomplishedAt) {
      throw DailyPriorities::Error(DailyPriorities::ErrorCase::alreadyDone);
    }
    return priority;
  }
  throw DailyPriorities::Error(DailyPriorities::ErrorCase::missing);
}

}  // namespace vorlane
