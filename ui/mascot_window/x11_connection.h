#pragma once

#include <xcb/xcb.h>

namespace vorlane {

// The X connection Qt itself uses; none without an X display (offscreen, Wayland), where
// every x11shape call then does nothing.
xcb_connection_t* qtConnection();

}  // namespace vorlane
