#include "ui/preferences/window/preferences_controller.h"

namespace vorlane {

PreferencesController::PreferencesController(std::shared_ptr<const Clock> clock,
                                             std::function<Calendar()> calendar,
                                             QString muteHotKeyName,
                                             std::optional<AppNames> appNames)
    : clock_(std::move(clock)),
      calendar_(std::move(calendar)),
      muteHotKeyName_(std::move(muteHotKeyName)),
      appNames_(std::move(appNames)) {}

// The windows' panels follow the store and the navigation: the host, last, takes them first.
PreferencesController::~PreferencesController() = default;

void PreferencesController::show(std::optional<PreferencesSection> section,
                                 const std::function<Targets()>& targets) {
  if (section) navigation_.setSelection(*section);
  host_.open(
      [&]() -> QWidget* {
        Targets made = targets ? targets() : Targets{};
        if (made.store == nullptr) return nullptr;
        return new PreferencesWindow(
            *made.store, navigation_,
            {
                .voices = std::move(made.voices),
                .onPreview = std::move(made.speak),
                .onPreviewCelebration = std::move(made.celebrate),
                .calendar = calendar_ ? calendar_ : [] { return Calendar::current(); },
                .now = [clock = clock_] { return clock->now(); },
                .muteHotKeyName = muteHotKeyName_,
                .appNames = appNames_,
                .screens = std::move(made.screens),
                .trayAvailable = std::move(made.trayAvailable),
                .followTray = std::move(made.followTray),
                .launchAtLogin = made.launchAtLogin,
            });
      },
      true);
}

QWidget* PreferencesController::window() const { return host_.window(); }

}  // namespace vorlane
