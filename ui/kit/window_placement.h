#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace vorlane {

// Where a window's frame goes in `area`, the part of its screen that panels leave free: where
// it is, when wholly inside; else no wider and no taller than the area, moved in by the least.
QRect frameWithin(QRect frame, const QRect& area);

// The frame the window manager puts around the window: its own once it has one; before, that
// of another window of ours that has one, as the same manager frames them alike; none for a
// frameless window or while no window of ours has a frame yet.
QMargins frameMargins(const QWidget& window);

// The largest size the window can take, frame and all, within the area panels leave free on
// its screen.
QSize roomOnScreen(const QWidget& window);

// Centres a window not yet shown on the screen under the pointer (the primary screen when
// the pointer is on none), within the area panels leave free, and keeps it inside that area.
void centreOnPointerScreen(QWidget& window);

// Keeps the window, frame and all, inside the area panels leave free on its screen (the one
// under its centre, else the nearest). One that does not fit is lowered to that area, below its
// minimum when it has to be, so that its content scrolls instead of running off the screen.
void keepWithinScreen(QWidget& window);

// Shows the window in front of other applications' windows and gives it the keyboard, also
// when it was minimised or hidden.
void bringToFront(QWidget& window);

}  // namespace vorlane
