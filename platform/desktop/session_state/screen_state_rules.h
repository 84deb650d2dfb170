#pragma once

#include <cstdint>
#include <optional>

namespace vorlane {

// What each source said about the screen; none where a source could not be read.
struct ScreenStateReadings {
  std::optional<bool> displayAsleep;      // DPMS
  std::optional<bool> x11ScreenSaverOn;   // MIT-SCREEN-SAVER
  std::optional<bool> sessionLocked;      // logind LockedHint
  std::optional<bool> sessionActive;      // logind Active
  std::optional<bool> screenSaverActive;  // org.freedesktop.ScreenSaver / org.gnome.ScreenSaver
};

// DPMS reports a sleeping display when it is enabled and the power level is not "on".
bool dpmsSaysAsleep(bool enabled, std::uint16_t powerLevel);

// The screen is unavailable when any source says so; an unread source never does.
bool screenUnavailable(const ScreenStateReadings& readings);

}  // namespace vorlane
