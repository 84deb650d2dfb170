// Screen availability, sleep and wake.
#include <utility>

#include "platform/logging/log.h"
#include "coordination/visit_coordinator.h"
#include "core/suppression/suppression_reason.h"

namespace vorlane {
namespace {

constexpr const char* notificationTitle = "Vorlane";

// How old a held or running visit, or the end of a period at wake, may be.
constexpr double staleLimit = VisitQueue::staleLimit;

}  // namespace

void VisitCoordinator::observeScreenAvailability() {
  if (!systemEvents_) return;
  const auto weak = weak_from_this();
  systemEventSubscriptions_.push_back(systemEvents_->didWake().subscribe([weak] {
    if (const auto self = weak.lock()) self->didWake();
  }));
  systemEventSubscriptions_.push_back(systemEvents_->screenWentAway().subscribe([weak] {
    if (const auto self = weak.lock()) self->screenBecameUnavailable();
  }));
  systemEventSubscriptions_.push_back(systemEvents_->screenCameBack().subscribe([weak] {
    if (const auto self = weak.lock()) self->screenBecameAvailable();
  }));
}

void VisitCoordinator::screenBecameUnavailable() {
  // Screen sleep, lock and session switch often arrive together; the first one acts.
  if (screenIsAway_) return;
  screenIsAway_ = true;
  Log::scheduling().info("screen unavailable, dropping anything in flight");
  const SuppressionReason away = SuppressionReason::screenUnavailable();
  for (const Visit& visit : pendingVisits_.takeAll()) {
    if (away.fallback(visit.kind) == SuppressionFallback::silentNotification) {
      notifications_->postSilent(notificationTitle, visit.bubbleText);
    }
  }
  if (presenter_->abandonVisit(std::nullopt)) speech_->stop();
  presenter_->dismissIdleFocusInvitation();
  signalStateChanged();
}

void VisitCoordinator::screenBecameAvailable() {
  const bool wasAway = std::exchange(screenIsAway_, false);
  discardStalePresentation();
  if (!wasAway) return;
  Log::scheduling().info("screen available again, re-anchoring the scheduler");
  scheduler_->reanchor();
  restartCadences(clock_->now());
  signalStateChanged();
}

void VisitCoordinator::discardStalePresentation() {
  const Date cutoff = clock_->now() - staleLimit;
  pendingVisits_.removeIf([cutoff](const Visit& visit) { return visit.scheduledFor < cutoff; });
  // The abandoned visit's completion would show the next held visit and start its speech,
  // which the stop below would then cut off: the next one is shown only after the stop.
  discardingStaleVisit_ = true;
  const bool abandoned = presenter_->abandonVisit(cutoff);
  discardingStaleVisit_ = false;
  if (!abandoned) return;
  speech_->stop();
  drainPendingVisits();
}

void VisitCoordinator::restartCadences(Date now) {
  idleInvitations_.reset(now);
  encouragements_.reset(now, *random_);
}

void VisitCoordinator::didWake() {
  Log::scheduling().info("woke from sleep, re-anchoring the scheduler");
  scheduler_->reanchor();
  discardStalePresentation();
  const Date now = clock_->now();
  restartCadences(now);
  presenter_->dismissIdleFocusInvitation();
  if (const auto endsAt = pomodoro_.endsAt(); endsAt && now - *endsAt > staleLimit) {
    Log::pomodoro().info("session ended while asleep, cancelling silently");
    pomodoro_.cancel();
    stopSessionTimer();
    presenter_->showCompletion(std::nullopt, "", "Finished just now", false);
    presenter_->showSession(std::nullopt, std::nullopt, std::nullopt);
  }
  // The pills of a period that ended in the sleep must not outlive it.
  refreshQuickActions();
  signalStateChanged();
}

}  // namespace vorlane
