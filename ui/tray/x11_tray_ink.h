#pragma once

#include <QColor>
#include <QRect>
#include <functional>
#include <optional>

namespace vorlane {

// Where Qt runs on X: the ink for the tray's icon at a place on screen (in Qt's pixels),
// from the XEmbed tray's own colours, else from the panel's pixels there (trayInk()), else
// the palette's text. The screen is read as shown, so where a window of ours is drawn over
// the icon (a menu, a window, the monkey itself; not the mascot's column where it is empty)
// the panel is not read, and without the tray's own colours the answer is none: `readAgain`
// is then called once, when such a window has changed. No source where Qt does not run on
// X, where a StatusNotifierItem host recolours the icon by its symbolic name instead.
using TrayInkSource =
    std::function<std::optional<QColor>(const QRect& iconArea, std::function<void()> readAgain)>;
TrayInkSource x11TrayInkSource();

}  // namespace vorlane
