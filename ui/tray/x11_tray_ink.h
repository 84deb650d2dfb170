#pragma once

#include <QColor>
#include <QRect>
#include <functional>

namespace vorlane {

// Where Qt runs on X: the ink for the tray's icon at a place on screen (in Qt's pixels),
// from the XEmbed tray's own colours, else from the panel's pixels there (trayInk()), else
// the palette's text. None where Qt does not run on X, where a StatusNotifierItem host
// recolours the icon by its symbolic name instead.
std::function<QColor(const QRect&)> x11TrayInkSource();

}  // namespace vorlane
