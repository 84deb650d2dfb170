#pragma once

#include <xcb/xcb.h>

namespace vorlane {

// Asks the XEmbed tray manager of X screen `screenNumber` to dock `icon` (the system tray
// protocol's SYSTEM_TRAY_REQUEST_DOCK), after marking the window as an XEmbed client that
// wants to be shown, at least `size` pixels square, and letting it show its parent's
// background (the panel) where it draws nothing. False when no tray manager owns the screen's
// selection or the connection has failed; the manager's own answer comes later, as it
// reparents the window. `connection` is borrowed.
bool requestXEmbedDock(xcb_connection_t* connection, int screenNumber, xcb_window_t icon, int size);

// Paints `window` with its background again: the panel's pixels, once docked.
void clearToBackground(xcb_connection_t* connection, xcb_window_t window);

}  // namespace vorlane
