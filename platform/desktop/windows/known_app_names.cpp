#include "platform/desktop/windows/known_app_names.h"

#include <array>
#include <utility>

namespace vorlane {
namespace {

// The stored identifiers stay as they are: records written before rely on them.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> knownNames{{
    {"us.zoom.xos", "Zoom"},
    {"com.microsoft.teams", "Microsoft Teams"},
    {"com.microsoft.teams2", "New Microsoft Teams"},
    {"com.apple.iWork.Keynote", "Keynote"},
    {"com.microsoft.Powerpoint", "PowerPoint"},
    {"com.apple.QuickTimePlayer", "QuickTime Player"},
    {"com.webex.meetingmanager", "Webex"},
    {"com.cisco.webexmeetingsapp", "Webex Meetings"},
    {"com.google.Chrome.app.kjgfgldnnfoeklkmfkjfagphfepbbdan", "Google Meet"},
}};

}  // namespace

std::optional<std::string> knownAppName(std::string_view appID) {
  for (const auto& [id, name] : knownNames) {
    if (id == appID) return std::string(name);
  }
  return std::nullopt;
}

}  // namespace vorlane
