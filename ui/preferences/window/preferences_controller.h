#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/contracts/clock.h"
#include "core/settings/preferences_store.h"
#include "foundation/calendar.h"
#include "platform/services/voice_catalogue.h"
#include "ui/kit/feature_window.h"
#include "ui/preferences/window/preferences_navigation.h"
#include "ui/preferences/window/preferences_window.h"

class QWidget;

namespace vorlane {

// "Vorlane Preferences" for the application shell: keeps the process's one panel selection
// and where the window was left, makes the window at a showing and deletes it once closed
// (its panels, subscriptions and native window hold memory nobody looks at), so the next
// showing makes a new one on the last panel, at the last place. The window edits the store
// it was made with, so the controller must go before that store. Main thread only.
class PreferencesController final {
 public:
  // What only the launched application has: the settings and the previews' targets.
  struct Targets {
    PreferencesStore* store = nullptr;
    std::shared_ptr<const VoiceCatalogue> voices;
    // Speaks a sentence at once.
    std::function<void(const std::string&)> speak;
    // Shows a celebration on the mascot.
    std::function<void()> celebrate;
    // The displays the mascot chooses from; Qt's when none.
    std::shared_ptr<ScreenProvider> screens = nullptr;
    // The login item's follower, whose failures the General page shows; may be null.
    LaunchAtLoginSetting* launchAtLogin = nullptr;
    // Whether a tray shows the status item, answered without waiting; Qt's when none.
    std::function<bool()> trayAvailable = nullptr;
    // Tells a callback of every coming and going of a tray; may be null.
    std::function<Observers<>::Subscription(std::function<void()>)> followTray = nullptr;
  };

  // `clock` (required) and `calendar` date the voice panel's sample; `appNames` (the
  // desktop's entries when none) names the quiet apps.
  PreferencesController(std::shared_ptr<const Clock> clock, std::function<Calendar()> calendar,
                        QString muteHotKeyName, std::optional<AppNames> appNames = std::nullopt);
  ~PreferencesController();

  PreferencesController(const PreferencesController&) = delete;
  PreferencesController& operator=(const PreferencesController&) = delete;

  // Selects `section` when one is given (an open window follows), then brings the window
  // forward. `targets` is asked only when a window is to be made; without a store it
  // makes nothing.
  void show(std::optional<PreferencesSection> section, const std::function<Targets()>& targets);

  PreferencesNavigation& navigation() { return navigation_; }
  // None while no window is open; a window just closed is gone once control is back in the
  // loop.
  QWidget* window() const;

 private:
  std::shared_ptr<const Clock> clock_;
  std::function<Calendar()> calendar_;
  QString muteHotKeyName_;
  std::optional<AppNames> appNames_;
  PreferencesNavigation navigation_;
  // Last, so that its windows go first, before the navigation their panels follow.
  FeatureWindow host_;
};

}  // namespace vorlane
