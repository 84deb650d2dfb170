#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "core/focus/focus_history_store.h"
#include "core/productivity/daily_priorities_store.h"
#include "platform/persistence/in_memory_record_store.h"
#include "tests/coordination/berlin_tuesday.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_feature_windows.h"
#include "tests/support/fake_repeating_timer.h"
#include "tests/support/fake_services.h"
#include "tests/support/fake_system_events.h"
#include "tests/support/fake_visit_presenter.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/log_capture.h"

namespace vorlane {

template <class T>
using Ptr = std::shared_ptr<T>;

// What the focus session is built over, alone or inside the whole coordinator: the clock at
// 10:59, the settings, the mascot, the notifications, the feature windows, the session
// timers, the desktop's events, and the records the real stores keep.
class CoordinationFakes : public testing::Test {
 protected:
  // The session timer made last, the current session's.
  FakeRepeatingTimer& timer() { return *timers.made.back(); }
  void fireAt(Date date) {
    clock->set(date);
    timer().fire();
  }

  LogCapture log;  // first, so that it sees everything
  InMemoryRecordStore records;
  Ptr<FakeClock> clock = std::make_shared<FakeClock>(at(10, 59));
  Ptr<InMemoryPreferencesStore> preferences = std::make_shared<InMemoryPreferencesStore>();
  Ptr<FakeVisitPresenter> presenter = std::make_shared<FakeVisitPresenter>();
  Ptr<FakeNotificationService> notifications = std::make_shared<FakeNotificationService>();
  FakeFeatureWindows windows;
  FakeRepeatingTimerFactory timers;
  Ptr<FakeSystemEvents> systemEvents = std::make_shared<FakeSystemEvents>();
  // The stores the session was last built with.
  Ptr<FocusHistoryStore> historyStore;
  Ptr<DailyPrioritiesStore> prioritiesStore;
};

}  // namespace vorlane
