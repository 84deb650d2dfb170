#include "platform/desktop/windows/x11_active_application.h"

#include "platform/desktop/windows/window_class.h"

namespace vorlane {

namespace {

// WM_CLASS is two short names; anything longer is cut, never read whole.
constexpr std::uint32_t maxWindowClassBytes = 1024;

}  // namespace

X11ActiveApplication::X11ActiveApplication(xcb_connection_t* connection, long ownPid)
    : properties_(connection), ownPid_(ownPid) {}

std::optional<xcb_window_t> X11ActiveApplication::activeWindow() {
  const auto window =
      properties_.word(properties_.root(), properties_.atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
  if (!window || *window == XCB_WINDOW_NONE) return std::nullopt;
  return *window;
}

std::optional<std::string> X11ActiveApplication::activeAppID() {
  const std::optional<xcb_window_t> window = activeWindow();
  if (!window) return std::nullopt;
  const auto pid = properties_.word(*window, properties_.atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
  const bool own = pid && static_cast<long>(*pid) == ownPid_;
  const auto classBytes =
      properties_.bytes(*window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, maxWindowClassBytes);
  if (!classBytes && !own) return std::nullopt;
  return appIDForWindow(parseWindowClass(classBytes.value_or("")), own);
}

}  // namespace vorlane
