#include "app/display_check.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace vorlane {
namespace {

bool isSet(const std::optional<std::string>& value) { return value && !value->empty(); }

std::optional<std::string> variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

// A platform's name in a Qt list entry ("xcb:nograb"), in lower case: Qt matches names so.
std::string platformName(const std::string& entry) {
  std::string name = entry.substr(0, entry.find(':'));
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

// Whether a Qt list ("xcb:option;xcb") names at least one platform, and every one it names is
// `wanted`.
bool onlyPlatformsWhere(const std::string& platforms,
                        const std::function<bool(const std::string&)>& wanted) {
  bool any = false;
  std::size_t start = 0;
  while (start <= platforms.size()) {
    const std::size_t end = std::min(platforms.find(';', start), platforms.size());
    const std::string entry = platforms.substr(start, end - start);
    if (!entry.empty()) {
      if (!wanted(platformName(entry))) return false;
      any = true;
    }
    start = end + 1;
  }
  return any;
}

// With no other platform to fall back on, Qt aborts when the X display cannot be opened.
bool onlyX11(const std::optional<std::string>& platforms) {
  return isSet(platforms) &&
         onlyPlatformsWhere(*platforms, [](const std::string& name) { return name == "xcb"; });
}

// "wayland", "wayland-egl", "wayland-xcomposite-glx", ...: Qt's Wayland platforms.
bool onlyWayland(const std::optional<std::string>& platforms) {
  return isSet(platforms) && onlyPlatformsWhere(*platforms, [](const std::string& name) {
           return name == "wayland" || name.rfind("wayland-", 0) == 0;
         });
}

std::string cannotOpen(const std::string& display) {
  return "vorlane: cannot open the X display \"" + display +
         "\"; start Vorlane inside a desktop session";
}

// On a Wayland desktop whose fall-back Qt cannot load: the way there is XWayland.
std::string needsX11(const std::optional<std::string>& display) {
  const std::string failed = isSet(display) ? "cannot open the X display \"" + *display + "\""
                                            : std::string("DISPLAY is not set");
  return "vorlane: " + failed + "; Vorlane needs an X display (XWayland on a Wayland desktop)";
}

}  // namespace

QtPlatformChoice qtPlatformsFor(const DisplayEnvironment& environment) {
  if (!isSet(environment.qtPlatform)) return {defaultQtPlatforms};
  if (onlyWayland(environment.qtPlatform) && isSet(environment.x11Display)) return {"xcb", true};
  return {*environment.qtPlatform};
}

std::optional<std::string> missingDisplayMessage(
    const DisplayEnvironment& environment,
    const std::function<bool(const std::string&)>& canOpenX11,
    const std::function<bool()>& canLoadWayland) {
  const bool x11Only = onlyX11(environment.qtPlatform);
  // Set aside for X11, which then has no Wayland platform to fall back on either.
  const bool waylandOnly = onlyWayland(environment.qtPlatform);
  if (isSet(environment.qtPlatform) && !x11Only && !waylandOnly) return std::nullopt;
  if (isSet(environment.x11Display) && canOpenX11(*environment.x11Display)) return std::nullopt;
  // Ours falls back on Wayland; a list of the user's that is X11 only has nothing to fall on.
  if (isSet(environment.waylandDisplay) && !x11Only) {
    if (!waylandOnly && canLoadWayland()) return std::nullopt;
    return needsX11(environment.x11Display);
  }
  if (isSet(environment.x11Display)) return cannotOpen(*environment.x11Display);
  if (isSet(environment.waylandDisplay)) {
    return std::string(
        "vorlane: cannot open an X display (DISPLAY is not set, and QT_QPA_PLATFORM asks for "
        "X11 only); start Vorlane inside a desktop session");
  }
  return std::string(
      "vorlane: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start Vorlane "
      "inside a desktop session");
}

DisplayEnvironment currentDisplayEnvironment() {
  return {variable("QT_QPA_PLATFORM"), variable("DISPLAY"), variable("WAYLAND_DISPLAY")};
}

}  // namespace vorlane
