#pragma once

#include <QColor>
#include <QRect>
#include <functional>
#include <optional>

namespace vorlane {

// Where Qt runs on X: the ink for the tray's icon at a place on screen (in Qt's pixels),
// from the XEmbed tray's own colours, else from the panel's pixels there (trayInk()), else
// the palette's text. The screen is read as shown, so while a window of ours (a menu, the
// mascot, a window) covers the icon the panel is not read, and without the tray's own
// colours the answer is none. No source
// where Qt does not run on X, where a StatusNotifierItem host recolours the icon by its
// symbolic name instead.
std::function<std::optional<QColor>(const QRect&)> x11TrayInkSource();

}  // namespace vorlane
