#pragma once

#include <xcb/xcb.h>

#include <optional>
#include <vector>

#include "platform/desktop/windows/fullscreen_rules.h"
#include "platform/desktop/windows/x11_properties.h"

namespace vorlane {

// The top-level windows the window manager lists in _NET_CLIENT_LIST_STACKING, with what
// the full-screen rule needs to know of each.
class X11WindowList {
 public:
  explicit X11WindowList(xcb_connection_t* connection);

  // Windows whose _NET_WM_STATE holds _NET_WM_STATE_FULLSCREEN, with their owner, type, map
  // state, hidden flag and frame; other windows cannot fill a screen and are left out.
  // Empty when the window manager publishes no list.
  std::vector<WindowFacts> fullscreenCandidates();

  // The frame of one window (decorations included); none when it cannot be read.
  std::optional<WindowFrame> frame(xcb_window_t window);

  X11Properties& properties() { return properties_; }

 private:
  X11Properties properties_;
};

}  // namespace vorlane
