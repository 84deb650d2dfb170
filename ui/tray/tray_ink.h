#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <functional>
#include <optional>
#include <vector>

namespace vorlane {

// The colour the tray's symbol is drawn in. The tray's own foreground when it names one;
// else the ink that stands out on the panel's background (light on a dark panel, dark on a
// light one); else `fallback`, the application's text colour. A panel's colour follows its
// own theme, not the application's palette, so the fallback is the last resort.
QColor trayInk(std::optional<QColor> trayForeground, std::optional<QColor> panelBackground,
               QColor fallback);

// Where a window of ours at `window` shows over an icon at `icon` (both in the same screen
// pixels): the part of its rectangle there, cut to `shape` (its bounding shape, in the
// window's own pixels) when it has one, and, for a translucent window that a compositor
// blends, to the pixels it draws. Such a window covers nothing where it is transparent, as
// the mascot's column, as tall as the screen, does everywhere but where the monkey is.
// `blendedPixels` (none for an opaque window, or without a compositor, where the bounding
// shape is all that shows) gives the window's pixels over an area of its own; any pixel not
// fully transparent counts as drawn, and an image it cannot give counts as drawn all over.
QRegion shownOver(const QRect& icon, const QRect& window, const std::optional<QRegion>& shape,
                  const std::function<QImage(const QRect& area)>& blendedPixels);

// Whether the panel under an icon at `icon` is hidden from view by one of our windows, given
// where each shows (shownOver()): the screen shows that window there, not the panel, so it
// is not read until the window has gone. An icon with no place has no panel to read either way.
bool panelHidden(const QRect& icon, const std::vector<QRegion>& ownWindowsShown);

// Light ink and dark ink.
inline constexpr QRgb lightTrayInk = 0xFFF2F2F2;
inline constexpr QRgb darkTrayInk = 0xFF262626;

}  // namespace vorlane
