// The preferences window: made on first use, kept when closed, deleted before the store.

#include "app/app_delegate.h"
#include "ui/preferences/preferences_window.h"
#include "ui/kit/window_placement.h"

namespace vorlane {

void AppDelegate::showPreferences(std::optional<PreferencesSection> section) {
  if (section) preferencesNavigation_.setSelection(*section);
  if (!preferencesStore_ || !speech_) return;
  if (!preferencesWindow_) {
    const QPointer<AppDelegate> self(this);
    preferencesWindow_ = new PreferencesWindow(
        *preferencesStore_, preferencesNavigation_,
        {
            .voices = services_.voiceCatalogue(),
            .onPreview =
                [self](const std::string& text) {
                  if (self && self->speech_) {
                    self->speech_->speak(text, self->services_.clock()->now(), nullptr);
                  }
                },
            .onPreviewCelebration =
                [self] {
                  if (self && self->coordinator_) self->coordinator_->previewCelebration();
                },
            .calendar = [self] { return self ? self->services_.calendar() : Calendar::current(); },
            .now = [clock = services_.clock()] { return clock->now(); },
            .muteHotKeyName = QString::fromLatin1(muteHotKeyName),
            .appNames = std::nullopt,
            .screens = services_.screens(),
            .trayAvailable = nullptr,
            .launchAtLogin = launchAtLogin_.get(),
        });
    centreOnPointerScreen(*preferencesWindow_);
  }
  bringToFront(*preferencesWindow_);
}

QWidget* AppDelegate::preferencesWindow() const { return preferencesWindow_.data(); }

}  // namespace vorlane
