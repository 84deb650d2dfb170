#include "ui/preferences/preferences_controller.h"

#include "ui/kit/window_placement.h"

namespace vorlane {

PreferencesController::PreferencesController(std::shared_ptr<const Clock> clock,
                                             std::function<Calendar()> calendar,
                                             QString muteHotKeyName,
                                             std::optional<AppNames> appNames)
    : clock_(std::move(clock)),
      calendar_(std::move(calendar)),
      muteHotKeyName_(std::move(muteHotKeyName)),
      appNames_(std::move(appNames)) {}

// The windows' panels follow the store and the navigation: they go first.
PreferencesController::~PreferencesController() {
  delete window_.data();
}

void PreferencesController::retire() {
  retired_.add(window_);
  window_ = nullptr;
}

void PreferencesController::show(std::optional<PreferencesSection> section,
                                 const std::function<Targets()>& targets) {
  if (section) navigation_.setSelection(*section);
  // Qt clears the attribute when it closes the window and plans its deletion.
  if (window_ && !window_->testAttribute(Qt::WA_DeleteOnClose)) retire();
  if (!window_) {
    Targets made = targets ? targets() : Targets{};
    if (made.store == nullptr) return;
    window_ = new PreferencesWindow(
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
            .launchAtLogin = made.launchAtLogin,
        });
    window_->setAttribute(Qt::WA_DeleteOnClose);
    window_->setClosedHandler([this](QRect geometry) { lastGeometry_ = geometry; });
    if (lastGeometry_) {
      window_->resize(lastGeometry_->size());
      window_->move(lastGeometry_->topLeft());
    } else {
      centreOnPointerScreen(*window_);
    }
  }
  bringToFront(*window_);
}

QWidget* PreferencesController::window() const { return window_.data(); }

}  // namespace vorlane
