// The preferences window: registered like the others, given the launched store and the
// previews' targets when it is first made.

#include "app/app_delegate.h"
#include "ui/preferences/preferences_controller.h"

namespace vorlane {

void AppDelegate::showPreferences(std::optional<PreferencesSection> section) {
  if (!windows().preferences) return;
  const QPointer<AppDelegate> self(this);
  windows().preferences->show(section, [self]() -> PreferencesController::Targets {
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
              if (self && self->coordinator_) self->coordinator_->previewCelebration();
            },
        .screens = self->services_.screens(),
        .launchAtLogin = self->launchAtLogin_.get(),
        .trayAvailable = self->services_.trayAvailable(),
    };
  });
}

QWidget* AppDelegate::preferencesWindow() const {
  return windows_ && windows_->preferences ? windows_->preferences->window() : nullptr;
}

PreferencesNavigation* AppDelegate::preferencesNavigation() {
  return windows().preferences ? &windows().preferences->navigation() : nullptr;
}

}  // namespace vorlane
