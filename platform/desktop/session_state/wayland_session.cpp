#include "platform/desktop/session_state/wayland_session.h"

#include <cstdlib>
#include <cstring>

namespace vorlane {

bool isWaylandSession() {
  const char* display = std::getenv("WAYLAND_DISPLAY");
  const char* type = std::getenv("XDG_SESSION_TYPE");
  return (display != nullptr && *display != '\0') ||
         (type != nullptr && std::strcmp(type, "wayland") == 0);
}

}  // namespace vorlane
