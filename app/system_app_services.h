#pragma once

#include <memory>

#include "app/app_services.h"
#include "ui/kit/system_window_services.h"

namespace vorlane {

class ReducedMotionSetting;
class ScreenProvider;
class SystemEventsMonitor;
class SystemEnvironment;
class TrayHostWatch;

// The desktop's real services: files under the XDG folders, libflite speech, the
// notification server, X key grabs and the environment probe. Made after the application
// object; main thread only.
class SystemAppServices final : public AppServices {
 public:
  SystemAppServices();
  ~SystemAppServices() override;

  RecordStore& records() override { return *records_; }
  // A slider dragged in the settings must not wait for the disk at every step.
  RecordPreferencesStore::Saving preferencesSaving() override {
    return RecordPreferencesStore::Saving::inBackground;
  }
  std::shared_ptr<ReminderStore> makeReminderStore() override;
  Mascot makeMascot(std::shared_ptr<PreferencesStore> preferences) override;
  std::function<bool()> prefersReducedMotion() override;
  std::function<bool()> trayAvailable() override;
  std::function<TrayKinds()> trayKinds() override;
  Observers<>::Subscription followTray(std::function<void()> changed) override;
  std::shared_ptr<SpeechService> makeSpeech(PreferencesStore& preferences) override;
  std::shared_ptr<const Clock> clock() override;
  Calendar calendar() override;
  std::shared_ptr<Ticker> makeTicker(double intervalSeconds) override;
  std::shared_ptr<NotificationService> makeNotifications() override;
  std::shared_ptr<EnvironmentSnapshotSource> makeEnvironment() override;
  std::shared_ptr<HotKeyRegistrar> makeHotKeys() override;
  RepeatingTimerFactory sessionTimers() override;
  WindowRegistry makeWindows() override;
  std::shared_ptr<SystemEventSource> makeSystemEvents() override;
  std::unique_ptr<LaunchAtLoginService> makeLaunchAtLogin() override;
  std::shared_ptr<CalendarAvailabilitySource> makeCalendarSource(
      std::shared_ptr<ConsentPrompt> prompt) override;
  std::shared_ptr<const VoiceCatalogue> voiceCatalogue() override { return voices_.lock(); }
  std::shared_ptr<ScreenProvider> screens() override { return screens_; }

 private:
  std::unique_ptr<RecordStore> records_;
  std::shared_ptr<const Clock> clock_;
  SystemEnvironment& environment();

  std::unique_ptr<SystemEnvironment> environment_;
  std::shared_ptr<ScreenProvider> screens_;
  std::shared_ptr<SystemEventsMonitor> systemEvents_;
  std::shared_ptr<ReducedMotionSetting> reducedMotion_;
  std::shared_ptr<TrayHostWatch> trayHost_;
  TrayHostWatch& trayHost();
  // Outlives the calendar source that asks through it.
  std::shared_ptr<ConsentPrompt> consentPrompt_;
  // Outlives the windows made by makeWindows.
  SystemWindowServices windowServices_;
  // The speech service made last, which lists its own voices.
  std::weak_ptr<const VoiceCatalogue> voices_;
};

}  // namespace vorlane
