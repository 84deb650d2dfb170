#pragma once

#include <functional>
#include <memory>

#include "coordination/contracts/coordination_observer.h"
#include "coordination/contracts/visit_presenter.h"
#include "coordination/contracts/visit_sink.h"
#include "coordination/windows/feature_windows.h"
#include "core/contracts/clock.h"
#include "core/contracts/visit.h"
#include "core/focus/idle_focus_invitations.h"
#include "core/focus/pomodoro_session.h"
#include "core/motivation/encouragement.h"
#include "core/motivation/encouragement_cadence.h"
#include "core/settings/preferences_store.h"
#include "foundation/calendar.h"
#include "foundation/random.h"

namespace vorlane {

// What the mascot offers on its own while the user is not focusing: an invitation to start
// a focus after a long idle stretch, and now and then a word of encouragement.
class IdleNudges {
 public:
  struct Dependencies {
    std::shared_ptr<const Clock> clock;
    std::shared_ptr<VisitPresenter> presenter;
    std::shared_ptr<PreferencesStore> preferencesStore;
    std::shared_ptr<RandomGenerator> random;
    // Optional: while it is open nothing is offered.
    std::shared_ptr<FocusSessionEditorWindow> focusSessionEditor;
    std::function<Calendar()> calendar;
    std::function<bool()> prefersReducedMotion;
    // Judges whether an invitation may show, and takes the encouragements.
    std::shared_ptr<VisitSink> visits;
    // Told when an encouragement shown at once has gone.
    std::weak_ptr<CoordinationObserver> observer;
  };

  explicit IdleNudges(Dependencies dependencies);

  // Both waits start over at `now`.
  void restart(Date now);
  // The wait for the next invitation starts over: the user was busy at `now`.
  void restartInvitationWait(Date now);
  // Each tick: an invitation when one is due and wanted, then an encouragement.
  void considerInvitation(const PomodoroSession& session, Date now);
  void considerEncouragement(const PomodoroSession& session, Date now);
  // Shows an encouragement at once when the mascot is free; nothing when it is busy.
  void encourageNow(const PomodoroSession& session);

  static Visit encouragementVisit(const Encouragement& encouragement, Date now);

 private:
  bool isWithinActiveHours(Date date) const;
  bool focusSessionEditorIsOpen() const;

  std::shared_ptr<const Clock> clock_;
  std::shared_ptr<VisitPresenter> presenter_;
  std::shared_ptr<PreferencesStore> preferencesStore_;
  std::shared_ptr<RandomGenerator> random_;
  std::shared_ptr<FocusSessionEditorWindow> focusSessionEditor_;
  std::function<Calendar()> calendar_;
  std::function<bool()> prefersReducedMotion_;
  std::shared_ptr<VisitSink> visits_;
  std::weak_ptr<CoordinationObserver> observer_;
  IdleFocusInvitations invitations_;
  EncouragementCadence encouragements_;
};

}  // namespace vorlane
