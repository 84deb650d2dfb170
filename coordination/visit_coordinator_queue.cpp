// The visit queue: suppression, presentation, holding and draining.
#include <utility>

#include "platform/logging/log.h"
#include "coordination/visit_coordinator.h"
#include "core/suppression/suppression_policy.h"
#include "foundation/date_description.h"

namespace vorlane {
namespace {

constexpr const char* notificationTitle = "Vorlane";

// Hourly and on-demand visits announce their own time; the speech may play its clip.
std::optional<Date> speechMoment(const Visit& visit) {
  const auto kind = visit.kind.value();
  if (kind == Visit::Kind::Case::hourly || kind == Visit::Kind::Case::manual) {
    return visit.scheduledFor;
  }
  return std::nullopt;
}

}  // namespace

SuppressionDecision VisitCoordinator::suppressionDecision(Date date) {
  EnvironmentSnapshot snapshot =
      environmentSnapshot_ ? environmentSnapshot_(date)
                           : environment_->snapshot(date, mutedUntil_,
                                                    presenter_->preferredScreenID());
  if (screenIsAway_) snapshot.isScreenUnavailable = true;
  // Read at every decision, so a changed blocked list applies to the next visit.
  return preferencesStore_->preferences().suppressionPolicy().evaluate(snapshot);
}

void VisitCoordinator::enqueue(const Visit& visit) {
  const SuppressionDecision decision = suppressionDecision(clock_->now());
  if (decision.isAllowed()) {
    present(visit);
    return;
  }
  const auto& reason = decision.reason();
  Log::suppression().info("suppressed visit scheduled for %{public}s: %{public}s",
                          describeDate(visit.scheduledFor),
                          reason ? reason->explanation() : std::string("unknown"));
  if (!reason || reason->fallback(visit.kind) == SuppressionFallback::silentNotification) {
    notifications_->postSilent(notificationTitle, visit.bubbleText);
  }
}

void VisitCoordinator::present(Visit visit) {
  if (visit.kind.value() == Visit::Kind::Case::reminder) {
    lastFiredReminder_.reset();
    for (const Reminder& reminder : reminderStore_->reminders()) {
      if (reminder.id == visit.kind.reminderId()) {
        lastFiredReminder_ = reminder;
        break;
      }
    }
  }
  presenter_->setBubbleVisible(true);
  // A refusal has already run the completion (a signal and a drain that found the
  // mascot busy) by the time this returns.
  if (!presenter_->performIfFree(visit, visitCompletion())) {
    pendingVisits_.hold(std::move(visit));
    Log::presentation().info("holding visit until the current one finishes");
    return;
  }
  if (!visit.spokenPhrase.empty()) {
    speech_->speak(visit.spokenPhrase, speechMoment(visit), nullptr);
  }
}

MascotPresenter::Completion VisitCoordinator::visitCompletion() {
  return [weak = weak_from_this()] {
    const auto self = weak.lock();
    if (!self) return;
    self->signalStateChanged();
    // A stale visit being abandoned: its discarder drains once speech is stopped.
    if (!self->discardingStaleVisit_) self->drainPendingVisits();
  };
}

void VisitCoordinator::drainPendingVisits() {
  if (pendingVisits_.empty() || presenter_->isPerformingVisit()) return;
  // Held visits were judged when they came in; they are shown without a second look.
  if (auto next = pendingVisits_.takeNext(clock_->now())) present(std::move(*next));
}

}  // namespace vorlane
