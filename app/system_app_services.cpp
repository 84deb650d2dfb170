#include "app/system_app_services.h"

#include <QCoreApplication>

#include "app/global_hot_key_registrar.h"
#include "app/probe_environment_source.h"
#include "app/qt_repeating_timer.h"
#include "platform/calendar/ics_availability_source.h"
#include "platform/calendar/user_calendars.h"
#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/session_state/reduced_motion_setting.h"
#include "platform/desktop/session_state/system_events_monitor.h"
#include "platform/desktop/tray/tray_host_watch.h"
#include "platform/logging/log.h"
#include "platform/persistence/file_record_store.h"
#include "platform/persistence/file_reminder_store.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/services/flite_speech_service.h"
#include "platform/services/timer_ticker.h"
#include "platform/services/user_notification_service.h"
#include "ui/mascot/controller/mascot_window_controller.h"
#include "ui/mascot_window/qt_screen_provider.h"
#include "ui/windows/calendar_consent/calendar_consent_prompt.h"

namespace vorlane {

SystemAppServices::SystemAppServices()
    : records_(FileRecordStore::standard()), clock_(std::make_shared<SystemClock>()) {
  if (!records_) {
    Log::lifecycle().error("no home folder: settings are kept for this session only");
    records_ = std::make_unique<InMemoryRecordStore>();
  }
}

SystemAppServices::~SystemAppServices() = default;

std::shared_ptr<ReminderStore> SystemAppServices::makeReminderStore() {
  auto store = std::make_shared<FileReminderStore>();
  if (!store->keepsUnreadableFile()) return store;
  const auto unreadFrom = store->unreadFrom();
  if (!unreadFrom && store->leftOutCount() == 0) {
    Log::reminders().error(
        "the reminders file could not be read: no reminders until it is moved aside at the "
        "next save");
  } else if (!unreadFrom) {
    Log::reminders().error(
        "the reminders file was read in part: %u read and in use, %u left out; the file is "
        "moved aside as it is at the next save",
        store->readCount(), store->leftOutCount());
  } else if (store->leftOutCount() == 0) {
    // Whatever the file held past the damage is out of use, however many reminders it was.
    Log::reminders().error(
        "the reminders file was read in part: %u read and in use, nothing after byte %u could "
        "be read; the file is moved aside as it is at the next save",
        store->readCount(), *unreadFrom);
  } else {
    Log::reminders().error(
        "the reminders file was read in part: %u read and in use, %u left out, nothing after "
        "byte %u could be read; the file is moved aside as it is at the next save",
        store->readCount(), store->leftOutCount(), *unreadFrom);
  }
  return store;
}

SystemEnvironment& SystemAppServices::environment() {
  if (!environment_) environment_ = std::make_unique<SystemEnvironment>();
  return *environment_;
}

AppServices::Mascot SystemAppServices::makeMascot(std::shared_ptr<PreferencesStore> preferences) {
  // The display of the active window stands for the main display.
  screens_ =
      std::make_shared<QtScreenProvider>(environment().activeWindows(), environment().windows());
  // Shows nothing yet: the coordinator's start applies the presence mode, after it has told
  // the presenter the preferred display.
  auto mascot = std::make_shared<MascotWindowController>(MascotWindowController::Dependencies{
      .preferencesStore = std::move(preferences),
      .screens = screens_,
      .prefersReducedMotion = prefersReducedMotion(),
      .random = nullptr,
      .makeWork = nullptr,
      .watchesScreens = true,
      .pointerLocation = nullptr,
      .trayAvailable = trayAvailable(),
      .systemEvents = makeSystemEvents(),
      .doubleClickInterval = nullptr,
  });
  return {.presenter = mascot, .controller = mascot};
}

std::function<bool()> SystemAppServices::prefersReducedMotion() {
  // Read from the portal once, on first use; later callers share the cached value.
  if (!reducedMotion_) {
    reducedMotion_ = std::make_shared<ReducedMotionSetting>(QDBusConnection::sessionBus());
  }
  return ReducedMotionSetting::reader(reducedMotion_);
}

TrayHostWatch& SystemAppServices::trayHost() {
  // A StatusNotifier host or an XEmbed tray, whichever the desktop has, followed from then on.
  if (!trayHost_) trayHost_ = TrayHostWatch::forThisDesktop();
  return *trayHost_;
}

std::function<bool()> SystemAppServices::trayAvailable() {
  trayHost();
  return TrayHostWatch::reader(trayHost_);
}

std::function<TrayKinds()> SystemAppServices::trayKinds() {
  trayHost();
  return TrayHostWatch::kindsReader(trayHost_);
}

Observers<>::Subscription SystemAppServices::followTray(std::function<void()> changed) {
  return trayHost().kindChanges().subscribe(std::move(changed));
}

std::shared_ptr<SpeechService> SystemAppServices::makeSpeech(PreferencesStore& preferences) {
  auto speech = std::make_shared<FliteSpeechService>(preferences);
  voices_ = speech;
  return speech;
}

std::shared_ptr<const Clock> SystemAppServices::clock() { return clock_; }

Calendar SystemAppServices::calendar() { return Calendar::current(); }

std::shared_ptr<Ticker> SystemAppServices::makeTicker(double intervalSeconds) {
  return std::make_shared<TimerTicker>(intervalSeconds);
}

std::shared_ptr<NotificationService> SystemAppServices::makeNotifications() {
  return std::make_shared<UserNotificationService>();
}

std::shared_ptr<EnvironmentSnapshotSource> SystemAppServices::makeEnvironment() {
  return std::make_shared<ProbeEnvironmentSource>(environment().sources());
}

std::shared_ptr<HotKeyRegistrar> SystemAppServices::makeHotKeys() {
  return std::make_shared<GlobalHotKeyRegistrar>(HotKeyBackend::forThisSession());
}

RepeatingTimerFactory SystemAppServices::sessionTimers() { return QtRepeatingTimer::factory(); }

WindowRegistry SystemAppServices::makeWindows() {
  return registeredWindows({.clock = clock_,
                            .calendar = [] { return Calendar::current(); },
                            .services = windowServices_.services(),
                            .trayAvailable = trayAvailable()});
}

std::shared_ptr<SystemEventSource> SystemAppServices::makeSystemEvents() {
  // One monitor for everyone who follows the screen and the wake.
  if (!systemEvents_) {
    systemEvents_ = std::make_shared<SystemEventsMonitor>(QDBusConnection::systemBus(),
                                                          QDBusConnection::sessionBus());
  }
  return systemEvents_;
}

std::unique_ptr<LaunchAtLoginService> SystemAppServices::makeLaunchAtLogin() {
  const auto entry = LaunchAtLogin::defaultEntryFile();
  if (!entry) return nullptr;
  return std::make_unique<LaunchAtLogin>(*entry,
                                         QCoreApplication::applicationFilePath().toStdString());
}

std::shared_ptr<CalendarAvailabilitySource> SystemAppServices::makeCalendarSource(
    std::shared_ptr<ConsentPrompt> prompt) {
  if (prompt) consentPrompt_ = std::move(prompt);
  if (!consentPrompt_) consentPrompt_ = std::make_shared<CalendarConsentPrompt>();
  // The .ics folders and, through its plugin, the calendar service, merged.
  return std::make_shared<IcsAvailabilitySource>(*records_, *consentPrompt_, userCalendars());
}

}  // namespace vorlane
