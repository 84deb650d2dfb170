#pragma once

#include <xcb/xcb.h>

#include <QRegion>
#include <QVector>
#include <optional>

namespace vorlane {

// The SHAPE extension on one top-level window, in device pixels. Shapes set here are the
// window's own: painting is untouched by the input shape, and the bounding shape is what
// the X server shows when no compositor blends the window.
namespace x11shape {

// Clicks reach the window only inside `rects`; an empty list lets every click through.
void setInputRects(xcb_connection_t* c, xcb_window_t window, const QVector<QRect>& rects);

// The window is visible only inside `region`; none removes the bounding shape. Unlike a
// Qt mask, an empty region hides the whole window instead of removing the shape. A `frame`
// from `bareFrame` is shaped alike in the same requests: first only where it shrinks, last
// where it grows, so no part of the frame shows without the window over it.
void setBoundingRegion(xcb_connection_t* c, xcb_window_t window,
                       const std::optional<QRegion>& region, xcb_window_t frame = XCB_WINDOW_NONE);

// Where the window is visible, as the server has it (its bounding shape, in its own device
// pixels); none while it has no shape of its own, or when the server cannot say.
std::optional<QRegion> boundingRegion(xcb_connection_t* c, xcb_window_t window);

// The window manager's frame around `window` when it adds nothing (the window fills it): the
// manager copies the window's bounding shape to it only once it hears of a change, and until
// then its own background (black on a 32-bit frame) shows where the window's shape shrank or
// where the frame grew first. None when unframed or decorated. Asks the server twice.
xcb_window_t bareFrame(xcb_connection_t* c, xcb_window_t window);

// Whether a compositor owns _NET_WM_CM_S<n> for the X screen holding `window`.
bool compositorPresent(xcb_connection_t* c, xcb_window_t window);

// Shows the window on every workspace: before mapping through _NET_WM_DESKTOP, after it by
// asking the window manager to add the sticky (and skip-taskbar, skip-pager) states.
void setAllWorkspacesBeforeMapping(xcb_connection_t* c, xcb_window_t window);
void requestStickyState(xcb_connection_t* c, xcb_window_t window);

}  // namespace x11shape
}  // namespace vorlane
