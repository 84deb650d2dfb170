// Screen availability, sleep and wake: each part hears of them in turn.
#include "coordination/coordinator/visit_coordinator.h"
#include "platform/logging/log.h"

namespace vorlane {

void VisitCoordinator::observeScreenAvailability() {
  if (!systemEvents_) return;
  systemEventSubscriptions_.push_back(
      systemEvents_->didWake().subscribe(weakly(&VisitCoordinator::didWake)));
  systemEventSubscriptions_.push_back(systemEvents_->screenWentAway().subscribe(
      weakly(&VisitCoordinator::screenBecameUnavailable)));
  systemEventSubscriptions_.push_back(
      systemEvents_->screenCameBack().subscribe(weakly(&VisitCoordinator::screenBecameAvailable)));
}

void VisitCoordinator::screenBecameUnavailable() {
  if (!delivery_->screenWentAway()) return;
  presenter_->dismissIdleFocusInvitation();
  signalStateChanged();
}

void VisitCoordinator::screenBecameAvailable() {
  if (!delivery_->screenCameBack()) return;
  Log::scheduling().info("screen available again, re-anchoring the scheduler");
  scheduler_->reanchor();
  nudges_->restart(clock_->now());
  signalStateChanged();
}

void VisitCoordinator::didWake() {
  Log::scheduling().info("woke from sleep, re-anchoring the scheduler");
  scheduler_->reanchor();
  delivery_->discardStalePresentation();
  const Date now = clock_->now();
  nudges_->restart(now);
  presenter_->dismissIdleFocusInvitation();
  focus_->endPeriodLostInSleep(now);
  // The pills of a period that ended in the sleep must not outlive it.
  refreshQuickActions();
  signalStateChanged();
}

}  // namespace vorlane
