#include "platform/desktop/window_class.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace vorlane {
namespace {

TEST(WindowClass,
     ParsesInstanceAndClassToleratingMissingTerminatorsAndNamesMeetingAppsByTheBlockedList) {
  const std::pair<std::string, WindowClass> parsed[] = {
      {"xterm\0XTerm"s, {"xterm", "XTerm"}},
      {"xterm"s, {"xterm", ""}},
      {""s, {"", ""}},
      {"a\0b\0c\0"s, {"a", "b"}},
      {"\0Zoom\0"s, {"", "Zoom"}},
  };
  for (const auto& [bytes, expected] : parsed) {
    EXPECT_EQ(parseWindowClass(bytes), expected) << bytes;
  }
  const std::string chromeApp = "kjgfgldnnfoeklkmfkjfagphfepbbdan";
  const std::tuple<WindowClass, bool, std::optional<std::string>> rows[] = {
      {{"zoom", "zoom"}, false, "us.zoom.xos"},
      {{"microsoft teams - preview", "Microsoft Teams - Preview"}, false, "com.microsoft.teams"},
      {{"teams-for-linux", "teams-for-linux"}, false, "com.microsoft.teams2"},
      {{"CiscoCollabHost", "CiscoCollabHost"}, false, "com.webex.meetingmanager"},
      {{"libreoffice", "libreoffice-impress"}, false, "com.microsoft.Powerpoint"},
      {{"crx_" + chromeApp, "Google-chrome"}, false, "com.google.Chrome.app." + chromeApp},
      {{"crx_", "Chromium"}, false, "Chromium"},
      {{"zoom", "Zoom"}, false, "Zoom"},  // aliases are case-sensitive
      {{"navigator", ""}, false, std::nullopt},
      {{"", ""}, true, "com.corvantis.vorlane"},
  };
  for (const auto& [windowClass, own, expected] : rows) {
    EXPECT_EQ(appIdForWindow(windowClass, own), expected)
        << windowClass.instance << " / " << windowClass.className;
  }
}

}  // namespace
}  // namespace vorlane
