// What the status item reads from the coordinator, and the one command it runs on the
// session directly.

#include "coordination/visit_coordinator.h"

namespace vorlane {

std::vector<Reminder> VisitCoordinator::reminders() const { return reminderStore_->reminders(); }

std::optional<std::string> VisitCoordinator::focusHistoryError() const {
  return focusHistory_ ? focusHistory_->errorMessage() : std::nullopt;
}

void VisitCoordinator::discardLastSession() {
  pomodoro_.discardLastCompletion();
  signalStateChanged();
}

}  // namespace vorlane
