#pragma once

#include <QColor>
#include <QRect>
#include <optional>
#include <vector>

namespace vorlane {

// The colour the tray's symbol is drawn in. The tray's own foreground when it names one;
// else the ink that stands out on the panel's background (light on a dark panel, dark on a
// light one); else `fallback`, the application's text colour. A panel's colour follows its
// own theme, not the application's palette, so the fallback is the last resort.
QColor trayInk(std::optional<QColor> trayForeground, std::optional<QColor> panelBackground,
               QColor fallback);

// Whether the panel under an icon at `icon` is hidden from view by one of `ownWindows`
// (all in the same pixels): the screen shows that window there, not the panel, so it is not
// read until the window has gone. An icon with no place has no panel to read either way.
bool panelHidden(const QRect& icon, const std::vector<QRect>& ownWindows);

// Light ink and dark ink.
inline constexpr QRgb lightTrayInk = 0xFFF2F2F2;
inline constexpr QRgb darkTrayInk = 0xFF262626;

}  // namespace vorlane
