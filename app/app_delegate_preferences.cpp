// The preferences window: registered like the others, given the launched store and the
// previews' targets when it is first made.

#include "app/app_delegate.h"
#include "coordination/coordinator/visit_coordinator.h"
#include "ui/preferences/window/preferences_controller.h"

namespace vorlane {

void AppDelegate::showPreferences(std::optional<PreferencesSection> section) {
  const auto preferences = shellWindow<PreferencesController>();
  if (!preferences) return;
  const QPointer<AppDelegate> self(this);
  preferences->show(section, [self]() -> PreferencesController::Targets {
    if (!self || !self->preferencesStore_ || !self->speech_) return {};
    return {
        .store = self->preferencesStore_.get(),
        .voices = self->services_.voiceCatalogue(),
        .speak =
            [self](const std::string& text) {
              if (self && self->speech_) {
                self->speech_->speak(text, self->services_.clock()->now(), nullptr);
              }
            },
        .celebrate =
            [self] {
              if (self && self->coordinator_) self->coordinator_->focus().previewCelebration();
            },
        .screens = self->services_.screens(),
        .launchAtLogin = self->launchAtLogin_.get(),
        .trayAvailable = self->services_.trayAvailable(),
        .followTray =
            [services = &self->services_](std::function<void()> changed) {
              return services->followTray(std::move(changed));
            },
    };
  });
}

QWidget* AppDelegate::preferencesWindow() const {
  const auto preferences = madeShellWindow<PreferencesController>();
  return preferences ? preferences->window() : nullptr;
}

PreferencesNavigation* AppDelegate::preferencesNavigation() {
  const auto preferences = shellWindow<PreferencesController>();
  return preferences ? &preferences->navigation() : nullptr;
}

}  // namespace vorlane
