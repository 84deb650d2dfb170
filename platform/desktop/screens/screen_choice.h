#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/screens/screen_frame.h"

namespace vorlane {

// The index of the first screen whose rectangle holds the point; none when none does.
std::optional<std::size_t> screenIndexContaining(const std::vector<ScreenFrame>& screens, double x,
                                                 double y);

// The main screen: the one holding the centre of the active window, else the primary one
// (index 0 of `screens` unless told otherwise). None when there are no screens.
std::optional<ScreenFrame> mainScreen(const std::vector<ScreenFrame>& screens,
                                      std::optional<std::size_t> activeWindowScreen,
                                      std::size_t primaryIndex = 0);

// The first screen, in order, whose identifier equals `preferredScreenID` exactly; the main
// screen when none matches or no identifier is given.
std::optional<ScreenFrame> chooseTargetScreen(const std::vector<ScreenFrame>& screens,
                                              const std::optional<std::string>& preferredScreenID,
                                              std::optional<std::size_t> activeWindowScreen,
                                              std::size_t primaryIndex = 0);

}  // namespace vorlane
