#pragma once

#include <QString>
#include <optional>

#include "ui/preferences/window/preferences_window.h"

namespace vorlane {

// What the preferences window is given on a machine with no voices and no list of
// applications, in UTC on a fixed day.
inline PreferencesWindow::Services preferencesServices() {
  return {
      .voices = nullptr,
      .onPreview = nullptr,
      .onPreviewCelebration = nullptr,
      .calendar = [] { return Calendar("UTC", "en_US"); },
      .now = [] { return Date::fromUnix(1780000000); },
      .muteHotKeyName = QStringLiteral("Ctrl+Alt+Super+M"),
      .appNames = std::nullopt,
  };
}

}  // namespace vorlane
