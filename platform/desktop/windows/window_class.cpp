#include "platform/desktop/windows/window_class.h"

#include <array>
#include <utility>

#include "foundation/text.h"

namespace vorlane {

namespace {

// Linux window classes of the meeting and presentation applications, mapped to the
// identifiers the default blocked list already names, with the name people know them by.
struct ClassAlias {
  std::string_view className;
  std::string_view identifier;
  std::string_view readableName;
};

constexpr std::array<ClassAlias, 5> classAliases{{
    {"zoom", "us.zoom.xos", "Zoom"},
    {"Microsoft Teams - Preview", "com.microsoft.teams", "Microsoft Teams"},
    {"teams-for-linux", "com.microsoft.teams2", "Teams for Linux"},
    {"CiscoCollabHost", "com.webex.meetingmanager", "Webex"},
    {"libreoffice-impress", "com.microsoft.Powerpoint", "LibreOffice Impress"},
}};

// What one window class may hold: WM_CLASS names are short, printable and on one line.
constexpr std::size_t longestClassName = 128;

const ClassAlias* aliasForIdentifier(std::string_view identifier) {
  for (const auto& alias : classAliases) {
    if (alias.identifier == identifier) return &alias;
  }
  return nullptr;
}

// Chromium-family browsers name an installed web app's windows "crx_<app id>".
constexpr std::string_view webAppInstancePrefix = "crx_";
constexpr std::string_view webAppIdentifierPrefix = "com.google.Chrome.app.";

}  // namespace

WindowClass parseWindowClass(std::string_view bytes) {
  WindowClass result;
  const std::size_t first = bytes.find('\0');
  if (first == std::string_view::npos) {
    result.instance = std::string(bytes);
    return result;
  }
  result.instance = std::string(bytes.substr(0, first));
  std::string_view rest = bytes.substr(first + 1);
  const std::size_t second = rest.find('\0');
  result.className = std::string(second == std::string_view::npos ? rest : rest.substr(0, second));
  return result;
}

std::optional<std::string> appIDForWindow(const WindowClass& windowClass, bool isOwnWindow) {
  if (isOwnWindow) return std::string(ownAppID);
  for (const auto& alias : classAliases) {
    if (windowClass.className == alias.className) return std::string(alias.identifier);
  }
  const std::string_view instance = windowClass.instance;
  if (instance.size() > webAppInstancePrefix.size() && instance.starts_with(webAppInstancePrefix)) {
    return std::string(webAppIdentifierPrefix) +
           std::string(instance.substr(webAppInstancePrefix.size()));
  }
  if (windowClass.className.empty()) return std::nullopt;
  return windowClass.className;
}

std::optional<std::string> windowClassForAppID(std::string_view appID) {
  if (const ClassAlias* alias = aliasForIdentifier(appID)) return std::string(alias->className);
  if (appID.size() > webAppIdentifierPrefix.size() && appID.starts_with(webAppIdentifierPrefix)) {
    return std::string(webAppInstancePrefix) +
           std::string(appID.substr(webAppIdentifierPrefix.size()));
  }
  return std::nullopt;
}

std::optional<std::string> readableAppName(std::string_view appID) {
  if (const ClassAlias* alias = aliasForIdentifier(appID)) return std::string(alias->readableName);
  return std::nullopt;
}

std::optional<std::string> appIDForTypedWindowClass(std::string_view typed) {
  constexpr std::string_view blanks = " \t\r\n\f\v";
  const std::size_t first = typed.find_first_not_of(blanks);
  if (first == std::string_view::npos) return std::nullopt;
  const std::string_view name = typed.substr(first, typed.find_last_not_of(blanks) - first + 1);
  if (name.size() > longestClassName) return std::nullopt;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    // Control characters (line breaks, tabs, NUL) never appear in a class a window reports.
    if (byte < 0x20 || byte == 0x7f) return std::nullopt;
  }
  if (validUtf8(name) != name) return std::nullopt;
  return appIDForWindow(WindowClass{.instance = std::string(name), .className = std::string(name)},
                        false);
}

}  // namespace vorlane
