#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "app/app_services.h"
#include "coordination/visit_coordinator.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "platform/session/launch_at_login.h"
#include "ui/overlays/time_change_notifier.h"
#include "ui/tray/status_item_controller.h"

class QWidget;

namespace vorlane {

class AboutWindow;
class WelcomeWindow;

// The application shell: builds the whole object graph in one fixed order, owns it for the
// life of the process, opens the welcome and About windows, mirrors the launch-at-login
// setting into the desktop's autostart entries and saves the running focus when the
// application ends. Main thread only; closures it hands out hold it through a QPointer.
class AppDelegate final : public QObject {
 public:
  // The hot key as the welcome and About windows name it.
  static constexpr const char* muteHotKeyName = "Ctrl+Alt+Super+M";
  // Shown when the application carries no version.
  static constexpr const char* fallbackVersion = "0.1.0";

  // `services` must outlive the delegate.
  explicit AppDelegate(AppServices& services, QObject* parent = nullptr);
  ~AppDelegate() override;

  // The launch sequence, once. False (with a fault line) when there is no mascot to drive,
  // in which case nothing was started.
  bool applicationDidFinishLaunching();
  // Saves the running focus and silences speech; only the first call acts.
  void applicationWillTerminate();

  // Opens the About window, or brings the one made earlier back to the front.
  void showAbout();
  // Marks onboarding done, then opens a new welcome window.
  void showOnboarding();

  // What launch built; null before launch.
  VisitCoordinator* coordinator() const { return coordinator_.get(); }
  RecordPreferencesStore* preferencesStore() const { return preferencesStore_.get(); }
  SpeechService* speech() const { return speech_.get(); }
  QWidget* onboardingWindow() const;
  QWidget* aboutWindow() const;

 private:
  void preferencesChanged(const Preferences& preferences);
  void applyLaunchAtLogin(bool enabled);
  void dismissOnboarding();
  void vorlaneNow();
  // Frees what launch built, users before what they use.
  void tearDown();

  AppServices& services_;
  std::shared_ptr<RecordPreferencesStore> preferencesStore_;
  std::shared_ptr<ReminderStore> reminderStore_;
  std::shared_ptr<VisitCoordinator> coordinator_;
  std::shared_ptr<VisitPresenter> presenter_;
  std::shared_ptr<SpeechService> speech_;
  std::shared_ptr<FocusHistoryStore> focusHistory_;
  std::shared_ptr<FocusRecoveryStore> recovery_;
  std::shared_ptr<DailyPrioritiesStore> priorities_;
  std::unique_ptr<LaunchAtLoginService> launchAtLogin_;
  QPointer<WelcomeWindow> onboardingWindow_;
  QPointer<AboutWindow> aboutWindow_;
  bool launched_ = false;
  bool terminated_ = false;

  // The status item and the mascot's overlays (app_delegate_status_item.cpp).
 public:
  StatusItemController* statusItem() const { return statusItem_.get(); }

 private:
  // Gives the mascot its floating clock, over the user-defaults records and the clock.
  void attachOverlays();
  // The status item, told of every change of the coordinator's state.
  void makeStatusItem();

  std::unique_ptr<TimeChangeNotifier> timeChanges_;
  std::unique_ptr<StatusItemController> statusItem_;
};

}  // namespace vorlane
