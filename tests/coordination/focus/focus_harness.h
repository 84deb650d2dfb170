#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "coordination/focus/focus_coordinator.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "tests/coordination/coordination_fakes.h"
#include "tests/coordination/refusal_sentences.h"
#include "tests/coordination/session_probes.h"
#include "tests/support/fake_coordination_observer.h"
#include "tests/support/fake_visit_sink.h"

namespace vorlane {

// The focus session alone, as the coordinator makes it but with nothing else of it: its
// visits go to a fake sink, its events to a fake observer, and its stores are the real ones
// on in-memory records unless a test gives its own.
class FocusHarness : public CoordinationFakes {
 protected:
  using Adjust = std::function<void(FocusCoordinator::Dependencies&)>;
  // A new started focus session at `now`; the fakes and the records stay.
  void fresh(Date now = at(10, 59), const Adjust& adjust = nullptr) {
    focus.reset();
    clock->set(now);
    FocusCoordinator::Dependencies given{
        .clock = clock,
        .presenter = presenter,
        .notifications = notifications,
        .preferencesStore = preferences,
        .focusHistory = std::make_shared<RecordFocusHistoryStore>(&records),
        .recovery = std::make_shared<RecordFocusRecoveryStore>(&records),
        .priorities = std::make_shared<RecordDailyPrioritiesStore>(&records),
        .focusSessionEditor = windows.focusSessionEditor,
        .resumeNote = windows.resumeNote,
        .focusHistoryWindow = windows.focusHistory,
        .sessionTimers = timers.factory(),
        .calendar = [] { return berlin; },
        .prefersReducedMotion = [] { return false; },
        .visits = visits,
        .observer = observer,
        .systemEvents = systemEvents};
    if (adjust) adjust(given);
    historyStore = given.focusHistory;
    prioritiesStore = given.priorities;
    focus = FocusCoordinator::create(std::move(given));
    focus->start();
  }
  // Starts a focus from the editor, as the user would.
  void startFocus(const std::string& goal = "write report") {
    focus->requestNewPomodoro();
    windows.focusSessionEditor->start(goal);
  }
  std::string phase() const { return phaseName(focus->pomodoro()); }

  Ptr<FakeVisitSink> visits = std::make_shared<FakeVisitSink>();
  Ptr<FakeCoordinationObserver> observer = std::make_shared<FakeCoordinationObserver>();
  Ptr<FocusCoordinator> focus;
};

}  // namespace vorlane
