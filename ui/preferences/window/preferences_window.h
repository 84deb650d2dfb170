#pragma once

#include <QRect>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/observers.h"
#include "platform/services/voice_catalogue.h"
#include "ui/kit/confirmation_prompt.h"
#include "ui/mascot_window/screen_info.h"
#include "ui/preferences/binding/preferences_binding.h"
#include "ui/preferences/controls/color_chooser.h"
#include "ui/preferences/text/app_names.h"
#include "ui/preferences/window/preferences_navigation.h"

class QLabel;
class QScrollArea;

namespace vorlane {

class LaunchAtLoginSetting;
class PreferencesSidebar;

// "Vorlane Preferences": the sidebar of panels, the shown panel's header and the panel. Every
// control writes the store at once; there is nothing to save.
class PreferencesWindow final : public QWidget {
 public:
  struct Services {
    std::shared_ptr<const VoiceCatalogue> voices;
    // Speaks a sentence at once, as an announcement of now.
    std::function<void(const std::string&)> onPreview;
    // Shows a celebration on the mascot.
    std::function<void()> onPreviewCelebration;
    std::function<Calendar()> calendar;
    std::function<Date()> now;
    QString muteHotKeyName;
    // Where the quiet apps' names come from; the desktop's entries when none.
    std::optional<AppNames> appNames;
    // The displays the mascot chooses from; Qt's, without the active window, when none.
    std::shared_ptr<ScreenProvider> screens = nullptr;
    // Whether the desktop shows a system tray; asked when the Desktop page is built and
    // as a tray comes or goes; Qt's answer when none.
    std::function<bool()> trayAvailable = nullptr;
    // Optional: subscribes a callback to every coming and going of a tray, so that an open
    // Desktop page follows. Without it the page shows the tray as it was when built.
    std::function<Observers<>::Subscription(std::function<void()>)> followTray = nullptr;
    // The login item's follower, whose failures the General page shows; may be null.
    LaunchAtLoginSetting* launchAtLogin = nullptr;
    // Asks before the appearance is reset; a message box when none.
    std::shared_ptr<ConfirmationPrompt> confirmation = nullptr;
    // Where the mascot's colours are picked; the colour dialog when none.
    std::shared_ptr<ColorChooser> colors = nullptr;
  };

  static constexpr int width = 780;
  static constexpr int height = 660;
  static constexpr int minimumWidth = 720;
  static constexpr int minimumHeight = 560;
  // The header's title; its subtitle takes the page's text size.
  static constexpr int headerTitlePixels = 25;

  // `store` and `navigation` must outlive the window.
  PreferencesWindow(PreferencesStore& store, PreferencesNavigation& navigation, Services services,
                    QWidget* parent = nullptr);
  ~PreferencesWindow() override;

  PreferencesSection shownSection() const { return shown_; }
  // The shown panel.
  QWidget* panel() const { return panel_; }
  QLabel* title() const { return title_; }
  QLabel* subtitle() const { return subtitle_; }
  PreferencesSidebar* sidebar() const { return sidebar_; }

  // Its host closes it on Escape, as it does every feature window; a control that answers
  // Escape itself (an open list of choices, the colour dialog) keeps it.

 private:
  void showSection(PreferencesSection section, bool force);
  QWidget* makePanel(PreferencesSection section);
  bool trayShown() const;

  PreferencesNavigation& navigation_;
  Services services_;
  PreferencesBinding binding_;
  PreferencesSection shown_ = PreferencesSection::desktop;
  PreferencesSidebar* sidebar_ = nullptr;
  QLabel* title_ = nullptr;
  QLabel* subtitle_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QWidget* panel_ = nullptr;
  Observers<std::optional<PreferencesSection>>::Subscription subscription_;
  Observers<>::Subscription tray_;
};

}  // namespace vorlane
