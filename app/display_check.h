#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vorlane {

// The Qt platforms the application asks for when the user chose none: X11 (also through
// XWayland), where keep-above, click-through and key grabs work; native Wayland only when
// there is no X server at all.
inline constexpr const char* defaultQtPlatforms = "xcb;wayland";

// What the environment says about displays; an empty variable counts as unset.
struct DisplayEnvironment {
  std::optional<std::string> qtPlatform;      // QT_QPA_PLATFORM
  std::optional<std::string> x11Display;      // DISPLAY
  std::optional<std::string> waylandDisplay;  // WAYLAND_DISPLAY
};

// The platform list to hand Qt, and whether the user's own list was set aside for it.
struct QtPlatformChoice {
  std::string platforms;
  // The user's list names only Wayland platforms ("wayland", "wayland-egl;wayland") while an
  // X display is named: Vorlane's windows need X11 (keep-above, click-through, key grabs), so
  // X11 is asked for instead, to be logged.
  bool waylandSetAside = false;
};

// The user's own choice, else ours; X11 in place of a choice of Wayland alone where DISPLAY is
// set. Other platforms (offscreen, minimal, ...) stay the user's.
QtPlatformChoice qtPlatformsFor(const DisplayEnvironment& environment);

// The sentence for stderr when there is no display to show Vorlane on; none when there is
// one, or when the user chose a Qt platform list that is neither X11 alone nor Wayland alone
// and so takes the decision. A list of X11 alone is checked as ours is, without the fall back
// on Wayland: Qt would abort on an X display it cannot open. A list of Wayland alone is
// checked as ours is with no Wayland platform to fall back on, since X11 is asked for in its
// place. Ours falls back on Wayland only where Qt can load its Wayland platform; else it would
// abort too. `canOpenX11` tries to connect to the named X display; `canLoadWayland` is asked
// only when the fall-back is needed.
std::optional<std::string> missingDisplayMessage(
    const DisplayEnvironment& environment,
    const std::function<bool(const std::string&)>& canOpenX11,
    const std::function<bool()>& canLoadWayland);

// The environment of this process.
DisplayEnvironment currentDisplayEnvironment();

}  // namespace vorlane
