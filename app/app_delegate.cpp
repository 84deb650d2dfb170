#include "app/app_delegate.h"

#include <QCoreApplication>
#include <string>
#include <utility>

#include "coordination/calendar_focus/calendar_focus_model.h"
#include "coordination/coordinator/visit_coordinator.h"
#include "core/visits/visit_scheduler.h"
#include "platform/logging/log.h"
#include "platform/logging/main_thread.h"
#include "ui/preferences/window/preferences_controller.h"
#include "ui/windows/about/about_controller.h"
#include "ui/windows/calendar_consent/calendar_consent_prompt.h"
#include "ui/windows/welcome/welcome_controller.h"

namespace vorlane {
namespace {

constexpr double tickInterval = 30;

// The calendar focus model over the user's calendars, with the work length as its focus length.
std::shared_ptr<CalendarFocusModel> makeCalendarFocus(
    AppServices& services, std::shared_ptr<ConsentPrompt> consent,
    std::shared_ptr<const Clock> clock, std::shared_ptr<RecordPreferencesStore> preferences) {
  return std::make_shared<CalendarFocusModel>(CalendarFocusModel::Dependencies{
      .source = services.makeCalendarSource(std::move(consent)),
      .clock = std::move(clock),
      .calendar = [services = &services] { return services->calendar(); },
      .maximumMinutes =
          [preferences = std::move(preferences)] {
            return static_cast<int>(preferences->preferences().effectiveWorkMinutes());
          },
      .recordStore = &services.records(),
  });
}

}  // namespace

AppDelegate::AppDelegate(AppServices& services, EndingStages endingStages, QObject* parent)
    : QObject(parent), services_(services), endingStages_(std::move(endingStages)) {}

AppDelegate::~AppDelegate() { tearDown(); }

bool AppDelegate::applicationDidFinishLaunching() {
  Q_ASSERT(isMainThread());
  if (launched_) return coordinator_ != nullptr;
  launched_ = true;

  Log::lifecycle().info("Vorlane launching");
  preferencesStore_ =
      std::make_shared<RecordPreferencesStore>(services_.records(), services_.preferencesSaving());
  reminderStore_ = services_.makeReminderStore();
  auto mascot = services_.makeMascot(preferencesStore_);
  presenter_ = std::move(mascot.presenter);
  mascot_ = mascot.controller;
  if (!presenter_) {
    Log::lifecycle().fault("no mascot presenter in this build; Vorlane cannot start");
    return false;
  }
  attachOverlays();
  speech_ = services_.makeSpeech(*preferencesStore_);
  const auto clock = services_.clock();
  auto scheduler = std::make_shared<VisitScheduler>(
      clock, services_.calendar(), [store = preferencesStore_] { return store->preferences(); });
  auto ticker = services_.makeTicker(tickInterval);
  notifications_ = services_.makeNotifications();
  focusHistory_ = std::make_shared<RecordFocusHistoryStore>(&services_.records());
  recovery_ = std::make_shared<RecordFocusRecoveryStore>(&services_.records());
  priorities_ = std::make_shared<RecordDailyPrioritiesStore>(&services_.records());
  // The stores keep such a record as it was and show it only in their windows.
  for (const auto& [record, problem] :
       {std::pair{"focus history", focusHistory_->errorMessage()},
        std::pair{"focus checkpoint", recovery_->document().errorMessage()},
        std::pair{"daily priorities", priorities_->errorMessage()}}) {
    if (problem) {
      Log::lifecycle().error(
          "the stored %{public}s could not be read: kept as it was, and not "
          "saved over until it is cleared",
          std::string(record));
    }
  }

  coordinator_ = VisitCoordinator::create({
      .clock = clock,
      .scheduler = std::move(scheduler),
      .ticker = std::move(ticker),
      .presenter = presenter_,
      .speech = speech_,
      .notifications = notifications_,
      .preferencesStore = preferencesStore_,
      .reminderStore = reminderStore_,
      .environmentSnapshot = nullptr,
      .prefersReducedMotion = services_.prefersReducedMotion(),
      .focusHistory = focusHistory_,
      .recovery = recovery_,
      .priorities = priorities_,
      .environment = services_.makeEnvironment(),
      .random = nullptr,
      .hotKeys = services_.makeHotKeys(),
      .sessionTimers = services_.sessionTimers(),
      .calendar = [services = &services_] { return services->calendar(); },
      .windows = windows().features,
      .systemEvents = services_.makeSystemEvents(),
      .calendarFocus = makeCalendarFocus(services_, shellWindow<CalendarConsentPrompt>(), clock,
                                         preferencesStore_),
  });

  // Started before the status item is made: the schedule is anchored as the coordinator
  // starts, and the tray icon's first window reads the font list, which takes a second on a
  // busy machine.
  coordinator_->start();
  makeStatusItem();
  // Subscribed after the coordinator, so a settings write reaches the running app first and
  // the login items second.
  launchAtLogin_ = std::make_unique<LaunchAtLoginSetting>(
      *preferencesStore_, [services = &services_] { return services->makeLaunchAtLogin(); });
  if (!preferencesStore_->preferences().hasCompletedOnboarding) showWelcome();
  return true;
}

void AppDelegate::applicationWillTerminate() {
  Q_ASSERT(isMainThread());
  if (terminated_) return;
  terminated_ = true;
  // What must not be lost goes first, before anything that may wait on another process.
  enter("saving the running focus");
  if (coordinator_) coordinator_->focus().saveFocusForTermination();
  // The last settings change may still be on its way to the disk; the process may end
  // through exit() right after this, without running any destructor.
  enter("writing the preferences");
  if (preferencesStore_) preferencesStore_->flush();
  enter("silencing speech");
  if (speech_) speech_->stop();
  Log::lifecycle().info("Vorlane terminating");
}

void AppDelegate::showAbout() {
  Q_ASSERT(isMainThread());
  const auto about = shellWindow<AboutController>();
  if (!about) return;
  QString version = QCoreApplication::applicationVersion();
  if (version.isEmpty()) version = QString::fromLatin1(fallbackVersion);
  about->show(version, QString::fromLatin1(muteHotKeyName));
}

void AppDelegate::showWelcome() {
  Q_ASSERT(isMainThread());
  // Stored before any window exists, so a launch cut short still counts as welcomed.
  if (preferencesStore_) {
    preferencesStore_->modify([](Preferences& p) { p.hasCompletedOnboarding = true; });
  }
  const auto welcome = shellWindow<WelcomeController>();
  if (!welcome) return;
  welcome->show(QString::fromLatin1(muteHotKeyName), [self = QPointer<AppDelegate>(this)] {
    if (self) self->vorlaneNow();
  });
}

void AppDelegate::vorlaneNow() {
  if (coordinator_) coordinator_->vorlaneNow();
}

WindowRegistry& AppDelegate::windows() {
  if (!windows_) windows_ = services_.makeWindows();
  return *windows_;
}

QWidget* AppDelegate::welcomeWindow() const {
  const auto welcome = madeShellWindow<WelcomeController>();
  return welcome && welcome->isOpen() ? welcome->host().window() : nullptr;
}

QWidget* AppDelegate::aboutWindow() const {
  const auto about = madeShellWindow<AboutController>();
  return about ? about->host().window() : nullptr;
}

void AppDelegate::tearDown() {
  enter("closing the preferences window");
  // The preferences window before the store, speech and login-item follower it uses.
  if (windows_) windows_->shell.set<PreferencesController>(nullptr);
  launchAtLogin_.reset();
  mascotTray_.cancel();
  enter("taking the icon out of the tray");
  statusItem_.reset();
  // The coordinator first: it still uses the presenter, speech and stores, and it releases
  // its key grabs while the X connection lives.
  enter("closing the coordinator");
  coordinator_.reset();
  notifications_.reset();
  // The windows before the stores their contents read.
  enter("closing the windows");
  windows_.reset();
  focusHistory_.reset();
  recovery_.reset();
  priorities_.reset();
  reminderStore_.reset();
  enter("closing speech");
  speech_.reset();
  enter("closing the mascot");
  presenter_.reset();
  timeChanges_.reset();  // after the mascot: its clock listens to it
  // Written out now, while the records exist, even if a holder of the store outlives us.
  enter("writing the preferences once more");
  if (preferencesStore_) preferencesStore_->flush();
  preferencesStore_.reset();
}

}  // namespace vorlane
