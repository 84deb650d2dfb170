// What the status item reads from the coordinator, and the one command it runs on the
// session directly.
#include "coordination/status_line.h"
#include "coordination/visit_coordinator.h"

namespace vorlane {

std::vector<Reminder> VisitCoordinator::reminders() const { return reminders_->reminders(); }

std::optional<std::string> VisitCoordinator::focusHistoryError() const {
  return focusHistory_->errorMessage();
}

void VisitCoordinator::discardLastSession() { focus_->discardLastSession(); }

std::string VisitCoordinator::nextVisitDescription() {
  const Date now = clock_->now();
  const ShortTimeFormatter& formatter = timeFormatter();
  return vorlane::nextVisitDescription(pomodoro(), mutedUntil(),
                                       [&] { return reminders_->nextVisit(now); }, now,
                                       [&](Date date) { return formatter.format(date); });
}

}  // namespace vorlane
