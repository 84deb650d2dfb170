#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/mascot_window/screen_info.h"

namespace vorlane {

// The display the mascot uses: the first whose identifier equals `preferredScreenID`, else
// the main display (the active window's, else the primary), else the first. With no display
// at all, an unnamed 1 x 1 display at the origin, so callers always get a frame.
ScreenInfo chooseMascotScreen(const std::vector<ScreenInfo>& screens,
                              const std::optional<std::string>& preferredScreenID,
                              std::optional<std::size_t> activeWindowScreen,
                              std::size_t primaryIndex);

// The same choice, but none when no display is connected: for callers that write settings
// keyed by the display and must not key them by a stand-in.
std::optional<ScreenInfo> connectedTargetScreen(const std::vector<ScreenInfo>& screens,
                                                const std::optional<std::string>& preferredScreenID,
                                                std::optional<std::size_t> activeWindowScreen,
                                                std::size_t primaryIndex);

ScreenInfo targetScreen(ScreenProvider& provider,
                        const std::optional<std::string>& preferredScreenID);

}  // namespace vorlane
