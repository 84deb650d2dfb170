#include "app/display_check.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace vorlane {
namespace {

bool isSet(const std::optional<std::string>& value) { return value && !value->empty(); }

std::optional<std::string> variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace

std::string qtPlatformsFor(const DisplayEnvironment& environment) {
  return isSet(environment.qtPlatform) ? *environment.qtPlatform : defaultQtPlatforms;
}

std::optional<std::string> missingDisplayMessage(
    const DisplayEnvironment& environment,
    const std::function<bool(const std::string&)>& canOpenX11) {
  if (isSet(environment.qtPlatform)) return std::nullopt;
  if (isSet(environment.x11Display) && canOpenX11(*environment.x11Display)) return std::nullopt;
  if (isSet(environment.waylandDisplay)) return std::nullopt;
  if (isSet(environment.x11Display)) {
    return "vorlane: cannot open the X display \"" + *environment.x11Display +
           "\"; start Vorlane inside a desktop session";
  }
  return std::string(
      "vorlane: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start Vorlane "
      "inside a desktop session");
}

DisplayEnvironment currentDisplayEnvironment() {
  return {variable("QT_QPA_PLATFORM"), variable("DISPLAY"), variable("WAYLAND_DISPLAY")};
}

bool canOpenX11Display(const std::string& display) {
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  const bool opened = connection != nullptr && xcb_connection_has_error(connection) == 0;
  if (connection != nullptr) xcb_disconnect(connection);
  return opened;
}

}  // namespace vorlane
