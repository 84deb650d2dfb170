// The visit queue: suppression, presentation, holding and draining, and the screen away.
#include "coordination/visits/visit_delivery.h"

#include <utility>

#include "core/suppression/suppression_policy.h"
#include "core/suppression/suppression_reason.h"
#include "foundation/date_description.h"
#include "platform/logging/log.h"

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

std::shared_ptr<VisitDelivery> VisitDelivery::create(Dependencies dependencies) {
  return std::make_shared<VisitDelivery>(ConstructionKey{}, std::move(dependencies));
}

VisitDelivery::VisitDelivery(ConstructionKey, Dependencies d)
    : clock_(std::move(d.clock)),
      presenter_(std::move(d.presenter)),
      speech_(std::move(d.speech)),
      notifications_(std::move(d.notifications)),
      preferencesStore_(std::move(d.preferencesStore)),
      environmentSnapshot_(std::move(d.environmentSnapshot)),
      environment_(std::move(d.environment)),
      mute_(std::move(d.mute)),
      observer_(std::move(d.observer)) {}

VisitDelivery::SharedLook::SharedLook(VisitDelivery& delivery)
    : delivery_(delivery), outermost_(!std::exchange(delivery.lookShared_, true)) {}

VisitDelivery::SharedLook::~SharedLook() {
  if (!outermost_) return;
  delivery_.lookShared_ = false;
  delivery_.sharedLook_.reset();
}

EnvironmentSnapshot VisitDelivery::lookAround(Date date) {
  if (sharedLook_) return *sharedLook_;
  const std::optional<Date> mutedUntil = mute_ ? mute_->mutedUntil() : std::nullopt;
  EnvironmentSnapshot snapshot =
      environmentSnapshot_
          ? environmentSnapshot_(date)
          : environment_->snapshot(date, mutedUntil, presenter_->preferredScreenID());
  if (lookShared_) sharedLook_ = snapshot;
  return snapshot;
}

SuppressionDecision VisitDelivery::suppressionDecision(Date date) {
  EnvironmentSnapshot snapshot = lookAround(date);
  if (screenIsAway_) snapshot.isScreenUnavailable = true;
  // Read at every decision, so a changed blocked list applies to the next visit.
  return preferencesStore_->preferences().suppressionPolicy().evaluate(snapshot);
}

void VisitDelivery::enqueue(const Visit& visit) {
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

void VisitDelivery::present(Visit visit) {
  if (const auto observer = observer_.lock()) observer->visitPresenting(visit);
  presenter_->setBubbleVisible(true);
  // A refusal has already run the completion (a signal and a drain that found the
  // mascot busy) by the time this returns.
  if (!presenter_->performIfFree(visit, visitCompletion())) {
    pending_.hold(std::move(visit));
    Log::presentation().info("holding visit until the current one finishes");
    return;
  }
  if (!visit.spokenPhrase.empty()) {
    speech_->speak(visit.spokenPhrase, speechMoment(visit), nullptr);
  }
}

VisitPresenter::Completion VisitDelivery::visitCompletion() {
  return [weak = weak_from_this()] {
    const auto self = weak.lock();
    if (!self) return;
    if (const auto observer = self->observer_.lock()) observer->stateChanged();
    // A stale visit being abandoned: its discarder drains once speech is stopped.
    if (!self->discardingStaleVisit_) self->drain();
  };
}

void VisitDelivery::drain() {
  if (pending_.empty() || presenter_->isPerformingVisit()) return;
  if (auto next = pending_.takeNext(clock_->now())) present(std::move(*next));
}

void VisitDelivery::withdraw(const std::function<bool(const Visit&)>& unwanted) {
  pending_.removeIf(unwanted);
}

void VisitDelivery::cutShort(const UUID& visitID) {
  pending_.removeIf([&](const Visit& visit) { return visit.id == visitID; });
  if (presenter_->cutVisitShort(visitID)) speech_->stop();
}

bool VisitDelivery::screenWentAway() {
  // Screen sleep, lock and session switch often arrive together; the first one acts.
  if (screenIsAway_) return false;
  screenIsAway_ = true;
  Log::scheduling().info("screen unavailable, dropping anything in flight");
  const SuppressionReason away = SuppressionReason::screenUnavailable();
  for (const Visit& visit : pending_.takeAll()) {
    if (away.fallback(visit.kind) == SuppressionFallback::silentNotification) {
      notifications_->postSilent(notificationTitle, visit.bubbleText);
    }
  }
  if (presenter_->abandonVisit(std::nullopt)) speech_->stop();
  return true;
}

bool VisitDelivery::screenCameBack() {
  const bool wasAway = std::exchange(screenIsAway_, false);
  discardStalePresentation();
  return wasAway;
}

void VisitDelivery::discardStalePresentation() {
  const Date cutoff = clock_->now() - VisitQueue::staleLimit;
  pending_.removeIf([cutoff](const Visit& visit) { return visit.scheduledFor < cutoff; });
  // The abandoned visit's completion would show the next held visit and start its speech,
  // which the stop below would then cut off: the next one is shown only after the stop.
  discardingStaleVisit_ = true;
  const bool abandoned = presenter_->abandonVisit(cutoff);
  discardingStaleVisit_ = false;
  if (!abandoned) return;
  speech_->stop();
  drain();
}

}  // namespace vorlane
