#pragma once

#include <QApplication>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "app/app_services.h"
#include "core/reminders/in_memory_reminder_store.h"
#include "platform/persistence/in_memory_record_store.h"
#include "tests/support/fake_calendar_source.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_environment.h"
#include "tests/support/fake_feature_windows.h"
#include "tests/support/fake_hot_keys.h"
#include "tests/support/fake_reminder_editor_window.h"
#include "tests/support/fake_repeating_timer.h"
#include "tests/support/fake_services.h"
#include "tests/support/fake_system_events.h"
#include "tests/support/fake_visit_presenter.h"
#include "ui/kit/desktop_texts.h"
#include "ui/preferences/window/preferences_controller.h"
#include "ui/windows/about/about_controller.h"
#include "ui/windows/welcome/welcome_controller.h"
#include "ui/windows/welcome/welcome_view.h"

namespace vorlane {

// Whether a welcome window is on screen now.
inline bool welcomeWindowShown() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && !widget->findChildren<WelcomeView*>().isEmpty()) return true;
  }
  return false;
}

// The login item as a test sets it; it also notes whether a welcome window was showing when
// the delegate first looked, which only a preference write makes it do.
class FakeLaunchAtLogin final : public LaunchAtLoginService {
 public:
  struct State {
    LaunchAtLoginStatus status = LaunchAtLoginStatus::notRegistered;
    bool failing = false;
    int registrations = 0;
    int unregistrations = 0;
    std::vector<bool> welcomeShownAtLook;
    // Called whenever the delegate turns to the login item: asking for its service or its status.
    std::function<void()> onLook;
  };
  explicit FakeLaunchAtLogin(State& state) : state_(state) {}

  LaunchAtLoginStatus status() override {
    state_.welcomeShownAtLook.push_back(welcomeWindowShown());
    if (state_.onLook) state_.onLook();
    return state_.status;
  }
  void registerApp() override {
    ++state_.registrations;
    if (state_.failing) throw std::system_error(EACCES, std::generic_category());
    state_.status = LaunchAtLoginStatus::enabled;
  }
  void unregisterApp() override {
    ++state_.unregistrations;
    if (state_.failing) throw std::system_error(EACCES, std::generic_category());
    state_.status = LaunchAtLoginStatus::notRegistered;
  }

 private:
  State& state_;
};

// Fakes for every service, with the order in which the delegate asked for them.
class FakeAppServices final : public AppServices {
 public:
  RecordStore& records() override { return recordStore; }
  std::shared_ptr<const Clock> clock() override { return fakeClock; }
  Calendar calendar() override { return Calendar("Europe/Berlin", "en_GB"); }
  std::shared_ptr<ReminderStore> makeReminderStore() override {
    return note("reminders", reminders);
  }
  Mascot makeMascot(std::shared_ptr<PreferencesStore>) override {
    return {.presenter = note("presenter", withPresenter ? presenter : nullptr), .controller = {}};
  }
  std::function<bool()> prefersReducedMotion() override {
    return [this] { return reduceMotion; };
  }
  // Qt's own answer, as the windows take it when given none.
  std::function<bool()> trayAvailable() override { return nullptr; }
  std::shared_ptr<SpeechService> makeSpeech(PreferencesStore&) override {
    return note("speech", speech);
  }
  std::shared_ptr<Ticker> makeTicker(double intervalSeconds) override {
    tickInterval = intervalSeconds;
    return note("ticker", ticker);
  }
  std::shared_ptr<NotificationService> makeNotifications() override {
    return note("notifications", notifications);
  }
  std::shared_ptr<EnvironmentSnapshotSource> makeEnvironment() override {
    return note("environment", environment);
  }
  std::shared_ptr<HotKeyRegistrar> makeHotKeys() override { return note("hot keys", hotKeys); }
  RepeatingTimerFactory sessionTimers() override {
    return note("session timers", timers.factory());
  }
  // The coordinator's windows and the reminder editor faked, the shell's own real; those
  // left out with `shellWindows`.
  WindowRegistry makeWindows() override {
    WindowRegistry registry;
    registry.features = windows.controllers();
    registry.shell.set<ReminderEditorWindow>(reminderEditor);
    if (shellWindows) {
      registry.shell.set<AboutController>(std::make_shared<AboutController>());
      registry.shell.set<WelcomeController>(std::make_shared<WelcomeController>());
      registry.shell.set<PreferencesController>(std::make_shared<PreferencesController>(
          fakeClock, [this] { return calendar(); }, QString::fromLatin1(muteShortcutName)));
    }
    return note("windows", std::move(registry));
  }
  std::shared_ptr<SystemEventSource> makeSystemEvents() override {
    return note("system events", systemEvents);
  }
  std::unique_ptr<LaunchAtLoginService> makeLaunchAtLogin() override {
    made.push_back("launch at login");
    if (login.onLook) login.onLook();
    return withLaunchAtLogin ? std::make_unique<FakeLaunchAtLogin>(login) : nullptr;
  }

  std::shared_ptr<CalendarAvailabilitySource> makeCalendarSource(
      std::shared_ptr<ConsentPrompt>) override {
    return note("calendar source", calendarSource);
  }

  InMemoryRecordStore recordStore;
  std::shared_ptr<FakeCalendarSource> calendarSource = std::make_shared<FakeCalendarSource>();
  std::shared_ptr<InMemoryReminderStore> reminders = std::make_shared<InMemoryReminderStore>();
  bool withPresenter = true;
  std::shared_ptr<FakeVisitPresenter> presenter = std::make_shared<FakeVisitPresenter>();
  std::shared_ptr<FakeSpeechService> speech = std::make_shared<FakeSpeechService>();
  // Tuesday 2026-03-10, 10:59 in Berlin.
  std::shared_ptr<FakeClock> fakeClock =
      std::make_shared<FakeClock>(*Calendar("Europe/Berlin", "en_GB").date(2026, 3, 10, 10, 59, 0));
  std::shared_ptr<FakeTicker> ticker = std::make_shared<FakeTicker>();
  double tickInterval = 0;
  std::shared_ptr<FakeNotificationService> notifications =
      std::make_shared<FakeNotificationService>();
  std::shared_ptr<FakeEnvironment> environment = std::make_shared<FakeEnvironment>();
  std::shared_ptr<FakeHotKeyRegistrar> hotKeys = std::make_shared<FakeHotKeyRegistrar>();
  FakeRepeatingTimerFactory timers;
  FakeFeatureWindows windows;
  std::shared_ptr<FakeReminderEditorWindow> reminderEditor =
      std::make_shared<FakeReminderEditorWindow>();
  bool shellWindows = true;
  std::shared_ptr<FakeSystemEvents> systemEvents = std::make_shared<FakeSystemEvents>();
  bool reduceMotion = false;
  bool withLaunchAtLogin = true;
  FakeLaunchAtLogin::State login;
  std::vector<std::string> made;

 private:
  template <typename T>
  T note(const char* service, T value) {
    made.push_back(service);
    return value;
  }
};

}  // namespace vorlane
