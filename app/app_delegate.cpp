#include "app/app_delegate.h"

#include <QCoreApplication>
#include <QThread>
#include <system_error>

#include "core/visits/visit_scheduler.h"
#include "platform/logging/log.h"
#include "ui/windows/about_window.h"
#include "ui/windows/welcome_window.h"
#include "ui/windows/window_placement.h"

namespace vorlane {
namespace {

constexpr double tickInterval = 30;

void assertMainThread() {
  Q_ASSERT(QCoreApplication::instance() == nullptr ||
           QThread::currentThread() == QCoreApplication::instance()->thread());
}

}  // namespace

AppDelegate::AppDelegate(AppServices& services, QObject* parent)
    : QObject(parent), services_(services) {}

AppDelegate::~AppDelegate() { tearDown(); }

bool AppDelegate::applicationDidFinishLaunching() {
  assertMainThread();
  if (launched_) return coordinator_ != nullptr;
  launched_ = true;

  Log::lifecycle().info("Vorlane launching");
  preferencesStore_ = std::make_shared<RecordPreferencesStore>(services_.records());
  reminderStore_ = services_.makeReminderStore();
  presenter_ = services_.makePresenter(preferencesStore_);
  if (!presenter_) {
    Log::lifecycle().fault("no mascot presenter in this build; Vorlane cannot start");
    return false;
  }
  attachOverlays();
  speech_ = services_.makeSpeech(*preferencesStore_);
  const auto clock = services_.clock();
  auto scheduler = std::make_shared<VisitScheduler>(
      clock, services_.calendar(),
      [store = preferencesStore_] { return store->preferences(); });
  auto ticker = services_.makeTicker(tickInterval);
  auto notifications = services_.makeNotifications();
  focusHistory_ = std::make_shared<RecordFocusHistoryStore>(&services_.records());
  recovery_ = std::make_shared<RecordFocusRecoveryStore>(&services_.records());
  priorities_ = std::make_shared<RecordDailyPrioritiesStore>(&services_.records());

  coordinator_ = VisitCoordinator::create({
      .clock = clock,
      .scheduler = std::move(scheduler),
      .ticker = std::move(ticker),
      .presenter = presenter_,
      .speech = speech_,
      .notifications = std::move(notifications),
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
      .windows = services_.makeFeatureWindows(),
      .systemEvents = services_.makeSystemEvents(),
      .calendarFocus = nullptr,
  });

  preferencesStore_->setOnChange([self = QPointer<AppDelegate>(this)](const Preferences& p) {
    if (self) self->preferencesChanged(p);
  });
  makeStatusItem();
  coordinator_->start();
  if (!preferencesStore_->preferences().hasCompletedOnboarding) showOnboarding();
  return true;
}

void AppDelegate::applicationWillTerminate() {
  assertMainThread();
  if (terminated_) return;
  terminated_ = true;
  if (coordinator_) coordinator_->saveFocusForTermination();
  if (speech_) speech_->stop();
  Log::lifecycle().info("Vorlane terminating");
}

void AppDelegate::preferencesChanged(const Preferences& preferences) {
  assertMainThread();
  applyLaunchAtLogin(preferences.launchAtLogin);
}

void AppDelegate::applyLaunchAtLogin(bool enabled) {
  if (!launchAtLogin_) launchAtLogin_ = services_.makeLaunchAtLogin();
  if (!launchAtLogin_) {
    Log::lifecycle().error("launch at login failed: %s", std::string("no home folder"));
    return;
  }
  try {
    const bool isEnabled = launchAtLogin_->status() == LaunchAtLoginStatus::enabled;
    if (enabled && !isEnabled) launchAtLogin_->registerApp();
    if (!enabled && isEnabled) launchAtLogin_->unregisterApp();
  } catch (const std::system_error& error) {
    Log::lifecycle().error("launch at login failed: %s", error.code().message());
    return;
  } catch (const std::exception& error) {
    Log::lifecycle().error("launch at login failed: %s", std::string(error.what()));
    return;
  }
  Log::lifecycle().info("launch at login set to %{bool}d", enabled);
}

void AppDelegate::showAbout() {
  assertMainThread();
  if (!aboutWindow_) {
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty()) version = QString::fromLatin1(fallbackVersion);
    aboutWindow_ = new AboutWindow(version, QString::fromLatin1(muteHotKeyName));
    centreOnPointerScreen(*aboutWindow_);
  }
  bringToFront(*aboutWindow_);
}

void AppDelegate::showOnboarding() {
  assertMainThread();
  // Stored before any window exists, so a launch cut short still counts as welcomed.
  if (preferencesStore_) {
    preferencesStore_->modify([](Preferences& p) { p.hasCompletedOnboarding = true; });
  }
  if (onboardingWindow_) {
    onboardingWindow_->close();
    onboardingWindow_->deleteLater();
  }
  const QPointer<AppDelegate> self(this);
  auto* window = new WelcomeWindow(
      QString::fromLatin1(muteHotKeyName),
      [self] {
        if (self) self->vorlaneNow();
      },
      [self] {
        if (self) self->dismissOnboarding();
      });
  centreOnPointerScreen(*window);
  onboardingWindow_ = window;
  bringToFront(*window);
}

void AppDelegate::dismissOnboarding() {
  // Runs inside the window's own handler: it goes once control is back in the loop.
  if (!onboardingWindow_) return;
  onboardingWindow_->close();
  onboardingWindow_->deleteLater();
  onboardingWindow_ = nullptr;
}

void AppDelegate::vorlaneNow() {
  if (coordinator_) coordinator_->vorlaneNow();
}

QWidget* AppDelegate::onboardingWindow() const { return onboardingWindow_.data(); }
QWidget* AppDelegate::aboutWindow() const { return aboutWindow_.data(); }

void AppDelegate::tearDown() {
  if (preferencesStore_) preferencesStore_->setOnChange(nullptr);
  delete onboardingWindow_.data();
  delete aboutWindow_.data();
  statusItem_.reset();
  // The coordinator first: it still uses the presenter, speech and stores, and it releases
  // its key grabs while the X connection lives.
  coordinator_.reset();
  focusHistory_.reset();
  recovery_.reset();
  priorities_.reset();
  reminderStore_.reset();
  launchAtLogin_.reset();
  speech_.reset();
  presenter_.reset();
  timeChanges_.reset();  // after the mascot: its clock listens to it
  preferencesStore_.reset();
}

}  // namespace vorlane
