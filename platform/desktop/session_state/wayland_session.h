#pragma once

namespace vorlane {

// Whether the desktop session is a Wayland one (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE
// "wayland"), even when Qt itself runs on X through XWayland: X then sees only the
// windows of X clients, and keys only while one of them has focus.
bool isWaylandSession();

}  // namespace vorlane
