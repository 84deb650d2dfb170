#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "coordination/contracts/coordination_observer.h"
#include "coordination/contracts/environment_snapshot_source.h"
#include "coordination/contracts/mute_state.h"
#include "coordination/contracts/visit_presenter.h"
#include "coordination/contracts/visit_sink.h"
#include "coordination/visits/visit_queue.h"
#include "core/contracts/clock.h"
#include "core/contracts/notification_service.h"
#include "core/contracts/speech_service.h"
#include "core/contracts/visit.h"
#include "core/settings/preferences_store.h"
#include "core/suppression/suppression_decision.h"

namespace vorlane {

// Takes every visit to the mascot: judges it against a fresh look at the environment, then
// shows it, holds it while another is on screen, posts it as a silent notification or drops
// it. Knows whether the screen is away. Main thread only.
//
// The completions it hands the presenter hold it weakly and do nothing once it is gone.
class VisitDelivery final : public VisitSink, public std::enable_shared_from_this<VisitDelivery> {
 public:
  struct Dependencies {
    std::shared_ptr<const Clock> clock;
    std::shared_ptr<VisitPresenter> presenter;
    std::shared_ptr<SpeechService> speech;
    std::shared_ptr<NotificationService> notifications;
    std::shared_ptr<PreferencesStore> preferencesStore;
    // Replaces `environment` whole when given (the mute does not reach it).
    std::function<EnvironmentSnapshot(Date)> environmentSnapshot;
    std::shared_ptr<EnvironmentSnapshotSource> environment;
    // Optional: the mute, for the environment; never muted without it.
    std::shared_ptr<const MuteState> mute;
    // Told of each visit just before the mascot is asked to show it, and when a visit
    // handed to the mascot has gone (`stateChanged`).
    std::weak_ptr<CoordinationObserver> observer;
  };

  struct ConstructionKey {};
  VisitDelivery(ConstructionKey, Dependencies dependencies);
  static std::shared_ptr<VisitDelivery> create(Dependencies dependencies);

  // While one lives, every decision reuses the environment the first of them read, so that
  // the visits a tick queues together cost one look at the desktop. Made on the stack around
  // one pass; one made inside another changes nothing.
  class SharedLook {
   public:
    explicit SharedLook(VisitDelivery& delivery);
    ~SharedLook();
    SharedLook(const SharedLook&) = delete;
    SharedLook& operator=(const SharedLook&) = delete;

   private:
    VisitDelivery& delivery_;
    bool outermost_;
  };

  SuppressionDecision suppressionDecision(Date date) override;
  void enqueue(const Visit& visit) override;
  // Shows the next held visit once the mascot is free; held visits get no second look.
  void drain();
  void withdraw(const std::function<bool(const Visit&)>& unwanted) override;
  // Dropped when held; on screen, it climbs away at once and its speech stops.
  void cutShort(const UUID& visitID) override;
  const VisitQueue& pending() const { return pending_; }

  bool screenIsAway() const { return screenIsAway_; }
  // Held visits become silent notifications or are dropped by their fallback, the visit on
  // screen is abandoned and speech stops. False, doing nothing, when already away.
  bool screenWentAway();
  // Discards stale presentations; true when the screen had been away.
  bool screenCameBack();
  // Held visits and the one on screen older than the stale limit go; the next held one is
  // shown only once speech has stopped.
  void discardStalePresentation();

 private:
  EnvironmentSnapshot lookAround(Date date);
  void present(Visit visit);
  VisitPresenter::Completion visitCompletion();

  std::shared_ptr<const Clock> clock_;
  std::shared_ptr<VisitPresenter> presenter_;
  std::shared_ptr<SpeechService> speech_;
  std::shared_ptr<NotificationService> notifications_;
  std::shared_ptr<PreferencesStore> preferencesStore_;
  std::function<EnvironmentSnapshot(Date)> environmentSnapshot_;
  std::shared_ptr<EnvironmentSnapshotSource> environment_;
  std::shared_ptr<const MuteState> mute_;
  std::weak_ptr<CoordinationObserver> observer_;
  VisitQueue pending_;
  // Inside a SharedLook: the look its decisions share, once the first has read it.
  bool lookShared_ = false;
  std::optional<EnvironmentSnapshot> sharedLook_;
  bool screenIsAway_ = false;
  // Set while a stale visit is abandoned: its completion must not show the next held one
  // before speech is stopped.
  bool discardingStaleVisit_ = false;
};

}  // namespace vorlane
