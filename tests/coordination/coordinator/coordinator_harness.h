#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "coordination/coordinator/visit_coordinator.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "tests/coordination/coordination_fakes.h"
#include "tests/coordination/refusal_sentences.h"
#include "tests/coordination/session_probes.h"
#include "tests/support/coordinator_over_fakes.h"
#include "tests/support/fake_environment.h"
#include "tests/support/fake_hot_keys.h"
#include "tests/support/fake_reminder_store.h"
#include "tests/support/headline_visit.h"
#include "tests/support/log_lines.h"
#include "tests/support/seeded_random_generator.h"
#include "tests/support/thrown.h"

namespace vorlane {

// A coordinator over fakes and real stores on in-memory records, with its clock at 10:59.
class CoordinatorTest : public CoordinationFakes {
 protected:
  using Adjust = std::function<void(VisitCoordinator::Dependencies&)>;
  // A new started coordinator over fresh fakes at `now`, counting its state signals; the
  // records, settings, reminders, environment, hot keys and desktop events stay.
  void fresh(Date now = at(10, 59), const Adjust& adjust = nullptr) {
    coordinator.reset();
    presenter = std::make_shared<FakeVisitPresenter>();
    speech = std::make_shared<FakeSpeechService>();
    notifications = std::make_shared<FakeNotificationService>();
    windows = FakeFeatureWindows{};
    timers.made.clear();
    clock->set(now);
    VisitCoordinator::Dependencies given = coordinatorOverFakes(
        clock, berlin, preferences, reminders, records, timers.factory(), windows.controllers());
    given.scheduler = scheduler;
    given.ticker = ticker;
    given.presenter = presenter;
    given.speech = speech;
    given.notifications = notifications;
    given.environment = environment;
    given.hotKeys = hotKeys;
    given.systemEvents = systemEvents;
    if (adjust) adjust(given);
    historyStore = given.focusHistory;
    prioritiesStore = given.priorities;
    coordinator = VisitCoordinator::create(std::move(given));
    coordinator->onStateChanged = [this] { ++stateChanges; };
    coordinator->start();
  }
  void buildAndStart() { fresh(clock->now()); }
  void tickAt(Date date) {
    clock->set(date);
    ticker->fire();
  }
  // Starts a focus from the editor, as the user would, and lets its visit leave.
  void startFocus(const std::string& goal = "write report") {
    coordinator->focus().requestNewPomodoro();
    windows.focusSessionEditor->start(goal);
    presenter->finishVisit();
  }
  // A fresh coordinator with no checkpoint, brought to the state the way the user does it.
  enum class At {
    idle,
    working,
    awaiting,
    onBreak,
    pausedFocus,
    pausedBreak,
    pausedNoGoal,
    breakCard
  };
  void reach(At state) {
    RecordFocusRecoveryStore(&records).clear();
    fresh();
    if (state == At::idle) return;
    startFocus(state == At::pausedNoGoal ? "" : "write report");
    if (state == At::pausedFocus || state == At::pausedNoGoal)
      return coordinator->focus().requestPauseSession();
    if (state == At::working) return;
    tickAt(*coordinator->focus().pomodoro().endsAt());
    presenter->finishVisit();
    if (state == At::awaiting) return;
    coordinator->focus().startBreak();
    if (state == At::pausedBreak) return coordinator->focus().requestPauseSession();
    if (state == At::onBreak) return;
    tickAt(*coordinator->focus().pomodoro().endsAt());
    presenter->finishVisit();
  }
  void change(const std::function<void(Preferences&)>& edit) {
    Preferences settings = preferences->preferences();
    edit(settings);
    preferences->setPreferences(settings);
  }
  // The session's phase in a word: working, awaiting, break, paused or idle.
  std::string phase() const { return phaseName(coordinator->focus().pomodoro()); }
  Visit visit(Visit::Kind kind, Date scheduledFor, std::string text = "Stand up") const {
    return headlineVisit(UUID::random(), kind, scheduledFor, text);
  }

  Ptr<FakeReminderStore> reminders = std::make_shared<FakeReminderStore>();
  Ptr<VisitScheduler> scheduler = std::make_shared<VisitScheduler>(
      clock, berlin, [store = preferences] { return store->preferences(); });
  Ptr<FakeTicker> ticker = std::make_shared<FakeTicker>();
  Ptr<FakeSpeechService> speech;
  Ptr<FakeEnvironment> environment = std::make_shared<FakeEnvironment>();
  Ptr<FakeHotKeyRegistrar> hotKeys = std::make_shared<FakeHotKeyRegistrar>();
  Ptr<VisitCoordinator> coordinator;
  int stateChanges = 0;
};

}  // namespace vorlane
