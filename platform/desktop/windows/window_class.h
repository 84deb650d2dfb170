#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

// The two names of an X window's WM_CLASS property.
struct WindowClass {
  std::string instance;
  std::string className;

  bool operator==(const WindowClass&) const = default;
};

// Splits WM_CLASS bytes ("instance\0class\0"). Tolerates a missing final NUL; a value with
// no NUL at all is an instance without a class. Invalid UTF-8 is kept as it is.
WindowClass parseWindowClass(std::string_view bytes);

// The application identifier reported for a window: our own identifier for our own windows,
// the identifiers of the blocked-application list for the Linux builds of those
// applications, otherwise the class itself. None when nothing names the window.
std::optional<std::string> appIDForWindow(const WindowClass& windowClass, bool isOwnWindow);

// The window class a blocked identifier is known by on Linux: the alias table's class, or
// "crx_<id>" for a browser web app. None for an identifier no window class maps to.
std::optional<std::string> windowClassForAppID(std::string_view appID);

// The name people know an aliased application by ("us.zoom.xos" gives "Zoom"); none for an
// identifier outside the alias table.
std::optional<std::string> readableAppName(std::string_view appID);

// The identifier to block for a window class the user typed: surrounding blanks are
// trimmed, and the class goes through the same mapping as a reported window. None when the
// text cannot be a window class (empty, over 128 bytes, a control character or invalid
// UTF-8).
std::optional<std::string> appIDForTypedWindowClass(std::string_view typed);

// The identifier of this application.
inline constexpr std::string_view ownAppID = "com.corvantis.vorlane";

}  // namespace vorlane
