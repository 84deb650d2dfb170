#pragma once

#include <optional>
#include <string>

#include "foundation/date.h"

namespace vorlane {

// The user's situation at one moment, as the environment probe reads it.
struct EnvironmentSnapshot {
  Date now = Date();  // compared with `mutedUntil`
  bool cameraInUse = false;
  bool microphoneInUse = false;
  // Identifier of the application in front; none when there is none or it cannot be read.
  std::optional<std::string> activeAppID = std::nullopt;
  // Another application fills the display the mascot is on.
  bool isFullscreenOnTargetDisplay = false;
  // End of a mute the user chose; none when not muted.
  std::optional<Date> mutedUntil = std::nullopt;
  // The screen is asleep or locked.
  bool isScreenUnavailable = false;

  bool operator==(const EnvironmentSnapshot&) const = default;
};

}  // namespace vorlane
