#pragma once

#include <functional>
#include <memory>

#include "app/window_registry.h"
#include "coordination/contracts/environment_snapshot_source.h"
#include "coordination/contracts/visit_presenter.h"
#include "core/contracts/calendar_availability_source.h"
#include "core/contracts/clock.h"
#include "core/contracts/hot_key_registrar.h"
#include "core/contracts/notification_service.h"
#include "core/contracts/repeating_timer.h"
#include "core/contracts/speech_service.h"
#include "core/contracts/system_event_source.h"
#include "core/contracts/ticker.h"
#include "core/reminders/reminder_store.h"
#include "core/settings/preferences_store.h"
#include "foundation/calendar.h"
#include "foundation/observers.h"
#include "platform/calendar/consent_prompt.h"
#include "platform/desktop/tray/tray_kinds.h"
#include "platform/persistence/record_preferences_store.h"
#include "platform/persistence/record_store.h"
#include "platform/services/voice_catalogue.h"
#include "platform/session/launch_at_login.h"
#include "ui/mascot_window/screen_info.h"

namespace vorlane {

class MascotWindowController;

// Everything the application delegate builds its object graph from: the desktop's real
// services in the program, fakes in the tests. The delegate calls each maker once, in its
// launch order, and owns what it gets.
class AppServices {
 public:
  virtual ~AppServices() = default;

  // The records of the user's settings and focus stores; lives as long as the services.
  virtual RecordStore& records() = 0;
  // When a settings change reaches records(): at once unless the services say otherwise.
  virtual RecordPreferencesStore::Saving preferencesSaving() {
    return RecordPreferencesStore::Saving::immediately;
  }
  virtual std::shared_ptr<ReminderStore> makeReminderStore() = 0;
  // The mascot as the coordinator drives it, and the same object as the mascot window's
  // controller when it is one (none otherwise), for what only that window does: its place,
  // its floating clock and the status menu in its own menu.
  struct Mascot {
    std::shared_ptr<VisitPresenter> presenter;
    std::shared_ptr<MascotWindowController> controller;
  };
  // No presenter when this build has no mascot to show, and then nothing can start.
  virtual Mascot makeMascot(std::shared_ptr<PreferencesStore> preferences) = 0;
  // Whether the desktop asks for fewer animations; one cached value, read at each use by
  // the presenter and the coordinator alike.
  virtual std::function<bool()> prefersReducedMotion() = 0;
  // Whether a tray host shows the status item; one cached answer, read at each use without
  // waiting on the bus.
  virtual std::function<bool()> trayAvailable() = 0;
  // Which kinds of tray are there, read the same way; none by default, where only the answer
  // above is known.
  virtual std::function<TrayKinds()> trayKinds() { return nullptr; }
  // Tells `changed` each time a tray comes or goes (the answer above may stay the same: one
  // kind left, another is there), while the subscription lasts; never by default.
  virtual Observers<>::Subscription followTray(std::function<void()> /*changed*/) { return {}; }
  virtual std::shared_ptr<SpeechService> makeSpeech(PreferencesStore& preferences) = 0;
  virtual std::shared_ptr<const Clock> clock() = 0;
  // The user's calendar, read at each use.
  virtual Calendar calendar() = 0;
  virtual std::shared_ptr<Ticker> makeTicker(double intervalSeconds) = 0;
  virtual std::shared_ptr<NotificationService> makeNotifications() = 0;
  virtual std::shared_ptr<EnvironmentSnapshotSource> makeEnvironment() = 0;
  virtual std::shared_ptr<HotKeyRegistrar> makeHotKeys() = 0;
  virtual RepeatingTimerFactory sessionTimers() = 0;
  // Every window, as window_registry.cpp lists them.
  virtual WindowRegistry makeWindows() = 0;
  // The screen going away and coming back, and the machine waking.
  virtual std::shared_ptr<SystemEventSource> makeSystemEvents() = 0;
  // None when the login items cannot be reached (no home folder).
  virtual std::unique_ptr<LaunchAtLoginService> makeLaunchAtLogin() = 0;
  // The calendar's busy times, asking the user through `prompt` (kept as long as the source)
  // before the first read; none asks through a window of the source's own.
  virtual std::shared_ptr<CalendarAvailabilitySource> makeCalendarSource(
      std::shared_ptr<ConsentPrompt> prompt) = 0;
  // The voices the speech made by makeSpeech offers the user; none when it offers no choice.
  virtual std::shared_ptr<const VoiceCatalogue> voiceCatalogue() { return nullptr; }
  // The displays as the mascot sees them (made with the presenter); none before that, or
  // when this build has no mascot.
  virtual std::shared_ptr<ScreenProvider> screens() { return nullptr; }
};

}  // namespace vorlane
