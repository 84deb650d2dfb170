#pragma once

#include <xcb/xcb.h>

#include <optional>
#include <string>

#include "platform/desktop/environment/environment_sources.h"
#include "platform/desktop/windows/x11_properties.h"

namespace vorlane {

// The application in front, from the window manager's _NET_ACTIVE_WINDOW and that window's
// WM_CLASS, named through the alias table of window_class.h.
class X11ActiveApplication final : public ActiveApplication {
 public:
  X11ActiveApplication(xcb_connection_t* connection, long ownPid);

  std::optional<std::string> activeAppID() override;

  // The active window; none when the window manager names none.
  std::optional<xcb_window_t> activeWindow();

 private:
  X11Properties properties_;
  long ownPid_;
};

}  // namespace vorlane
