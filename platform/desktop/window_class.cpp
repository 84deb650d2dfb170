#include "platform/desktop/window_class.h"

#include <array>
#include <utility>

namespace vorlane {

namespace {

// Linux window classes of the meeting and presentation applications, mapped to the
// identifiers the default blocked list already names.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> classAliases{{
    {"zoom", "us.zoom.xos"},
    {"Microsoft Teams - Preview", "com.microsoft.teams"},
    {"teams-for-linux", "com.microsoft.teams2"},
    {"CiscoCollabHost", "com.webex.meetingmanager"},
    {"libreoffice-impress", "com.microsoft.Powerpoint"},
}};

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

std::optional<std::string> appIdForWindow(const WindowClass& windowClass, bool isOwnWindow) {
  if (isOwnWindow) return std::string(ownAppId);
  for (const auto& [className, identifier] : classAliases) {
    if (windowClass.className == className) return std::string(identifier);
  }
  const std::string_view instance = windowClass.instance;
  if (instance.size() > webAppInstancePrefix.size() && instance.starts_with(webAppInstancePrefix)) {
    return std::string(webAppIdentifierPrefix) +
           std::string(instance.substr(webAppInstancePrefix.size()));
  }
  if (windowClass.className.empty()) return std::nullopt;
  return windowClass.className;
}

}  // namespace vorlane
