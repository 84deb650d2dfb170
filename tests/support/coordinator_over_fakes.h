#pragma once

#include <memory>
#include <utility>

#include "coordination/coordinator/visit_coordinator.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "tests/support/fake_environment.h"
#include "tests/support/fake_services.h"
#include "tests/support/fake_visit_presenter.h"
#include "tests/support/seeded_random_generator.h"

namespace vorlane {

// What a visit coordinator is given over stand-ins, in `calendar` at `clock`: the settings of
// `preferences`, the reminders of `reminders`, the real focus stores over `records`, a
// seeded random, and no hot keys, desktop events or calendar focus. The caller replaces the
// collaborators it watches.
inline VisitCoordinator::Dependencies coordinatorOverFakes(
    const std::shared_ptr<const Clock>& clock, const Calendar& calendar,
    const std::shared_ptr<PreferencesStore>& preferences, std::shared_ptr<ReminderStore> reminders,
    RecordStore& records, RepeatingTimerFactory sessionTimers, WindowSet windows) {
  return {
      .clock = clock,
      .scheduler = std::make_shared<VisitScheduler>(
          clock, calendar, [store = preferences] { return store->preferences(); }),
      .ticker = std::make_shared<FakeTicker>(),
      .presenter = std::make_shared<FakeVisitPresenter>(),
      .speech = std::make_shared<FakeSpeechService>(),
      .notifications = std::make_shared<FakeNotificationService>(),
      .preferencesStore = preferences,
      .reminderStore = std::move(reminders),
      .environmentSnapshot = nullptr,
      .prefersReducedMotion = [] { return false; },
      .focusHistory = std::make_shared<RecordFocusHistoryStore>(&records),
      .recovery = std::make_shared<RecordFocusRecoveryStore>(&records),
      .priorities = std::make_shared<RecordDailyPrioritiesStore>(&records),
      .environment = std::make_shared<FakeEnvironment>(),
      .random = std::make_shared<SeededRandomGenerator>(7),
      .hotKeys = nullptr,
      .sessionTimers = std::move(sessionTimers),
      .calendar = [calendar] { return calendar; },
      .windows = std::move(windows),
      .systemEvents = nullptr,
      .calendarFocus = nullptr,
  };
}

}  // namespace vorlane
