#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

#include "app/app_services.h"
#include "app/window_registry.h"
#include "coordination/contracts/visit_presenter.h"
#include "core/contracts/notification_service.h"
#include "core/contracts/speech_service.h"
#include "core/focus/focus_history_store.h"
#include "core/focus/focus_recovery_store.h"
#include "core/productivity/daily_priorities_store.h"
#include "core/reminders/reminder_store.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "platform/session/launch_at_login_setting.h"
#include "ui/kit/desktop_texts.h"
#include "ui/overlays/time_change_notifier.h"
#include "ui/preferences/window/preferences_section.h"
#include "ui/tray/status_item_controller.h"

class QWidget;

namespace vorlane {

class MascotWindowController;
class PreferencesNavigation;
class VisitCoordinator;

// The application shell: builds the whole object graph in one fixed order, owns it for the
// life of the process, opens the welcome and About windows, has the launch-at-login setting
// mirrored into the desktop's autostart entries and saves the running focus when the
// application ends. Main thread only; closures it hands out hold it through a QPointer.
class AppDelegate final : public QObject {
 public:
  // The hot key as the welcome and About windows name it.
  static constexpr const char* muteHotKeyName = muteShortcutName;
  // Shown when the application carries no version.
  static constexpr const char* fallbackVersion = "0.1.0";

  // Told each stage of the end as it starts (a literal naming it), so that an end that
  // stalls can say where.
  using EndingStages = std::function<void(const char* stage)>;

  // `services` must outlive the delegate.
  explicit AppDelegate(AppServices& services, EndingStages endingStages = nullptr,
                       QObject* parent = nullptr);
  ~AppDelegate() override;

  // The launch sequence, once. False (with a fault line) when there is no mascot to drive,
  // in which case nothing was started.
  bool applicationDidFinishLaunching();
  // Saves the running focus, writes out the settings and silences speech, in that order;
  // only the first call acts.
  void applicationWillTerminate();

  // Opens the About window, or brings the one made earlier back to the front.
  void showAbout();
  // Marks onboarding done, then opens a new welcome window.
  void showWelcome();
  // Sends the mascot on a visit at once, as the welcome's "Show me" does.
  void vorlaneNow();

  // What launch built; null before launch.
  VisitCoordinator* coordinator() const { return coordinator_.get(); }
  RecordPreferencesStore* preferencesStore() const { return preferencesStore_.get(); }
  SpeechService* speech() const { return speech_.get(); }
  // The welcome window while it is on screen.
  QWidget* welcomeWindow() const;
  // The About window once made, open or closed.
  QWidget* aboutWindow() const;

 private:
  // The registered windows, made on first use (launch, or About before it).
  WindowRegistry& windows();
  // A window of the shell; null when it is not registered.
  template <class Window>
  std::shared_ptr<Window> shellWindow() {
    return windows().shell.get<Window>();
  }
  // The same, without making the registry.
  template <class Window>
  std::shared_ptr<Window> madeShellWindow() const {
    return windows_ ? windows_->shell.get<Window>() : nullptr;
  }
  // Frees what launch built, users before what they use.
  void tearDown();
  void enter(const char* stage) const {
    if (endingStages_) endingStages_(stage);
  }

  AppServices& services_;
  EndingStages endingStages_;
  std::shared_ptr<RecordPreferencesStore> preferencesStore_;
  std::shared_ptr<ReminderStore> reminderStore_;
  std::shared_ptr<VisitCoordinator> coordinator_;
  std::shared_ptr<VisitPresenter> presenter_;
  // The presenter again, when it is the mascot window's controller.
  std::weak_ptr<MascotWindowController> mascot_;
  std::shared_ptr<SpeechService> speech_;
  // Shared with the coordinator; the status item tells its failures there too.
  std::shared_ptr<NotificationService> notifications_;
  std::shared_ptr<FocusHistoryStore> focusHistory_;
  std::shared_ptr<FocusRecoveryStore> recovery_;
  std::shared_ptr<DailyPrioritiesStore> priorities_;
  std::unique_ptr<LaunchAtLoginSetting> launchAtLogin_;
  std::optional<WindowRegistry> windows_;
  bool launched_ = false;
  bool terminated_ = false;

  // The status item and the mascot's overlays (app_delegate_status_item.cpp).
 public:
  StatusItemController* statusItem() const { return statusItem_.get(); }

 private:
  // Gives the mascot its floating clock, over the record store and the clock.
  void attachOverlays();
  // The status item, told of every change of the coordinator's state.
  void makeStatusItem();

  std::unique_ptr<TimeChangeNotifier> timeChanges_;
  std::unique_ptr<StatusItemController> statusItem_;
  // The mascot's click-through follows the trays.
  Observers<>::Subscription mascotTray_;

  // The preferences window (app_delegate_preferences.cpp).
 public:
  // Selects `section` first when one is given (also in an open window); then brings the
  // window, made on first use, to the front. Before launch it only selects.
  void showPreferences(std::optional<PreferencesSection> section = std::nullopt);
  // The window once made, open or closed.
  QWidget* preferencesWindow() const;
  // The one panel selection of the process; none when the window is not registered.
  PreferencesNavigation* preferencesNavigation();
};

}  // namespace vorlane
