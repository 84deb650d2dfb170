// Opening the feature windows.
#include "coordination/visit_coordinator.h"

namespace vorlane {

void VisitCoordinator::showWeeklyReflection() {
  if (!windows_.reflection) return;
  windows_.reflection->show(*focusHistory_, *priorities_, [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->showFocusHistory();
  });
}

void VisitCoordinator::showFocusHistory() {
  if (windows_.focusHistory) windows_.focusHistory->show(*focusHistory_);
}

std::optional<std::string> VisitCoordinator::recoveryError() const {
  if (const auto& loadError = recovery_->document().errorMessage()) return loadError;
  return recoverySaveError_;
}

}  // namespace vorlane
