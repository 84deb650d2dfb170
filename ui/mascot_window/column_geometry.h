#pragma once

#include <QRect>

#include "core/desktop/mascot_placement.h"
#include "ui/mascot_window/screen_info.h"

namespace vorlane {

// Headroom given when no panel takes the top of the display: a panel that slides in over
// the top edge would otherwise cover the character.
inline constexpr double statusBarThickness = 24;

// The mascot's column on a display: at most 340 wide, the whole available height, placed
// along the available width by the horizontal fraction. Rounded once, so comparing two
// frames tells whether the window must move.
QRect columnFrame(const QRect& available, const MascotPlacement& placement);

// 0 when a panel takes the top of the display, else the status bar thickness.
double autoHiddenMenuBarInset(const ScreenInfo& screen);

// How far below the window's top the character's canvas starts.
double characterTopInset(const ScreenInfo& screen, const MascotPlacement& placement);

}  // namespace vorlane
