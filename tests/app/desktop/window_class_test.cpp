#include "app/desktop/window_class.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace vorlane {
namespace {

TEST(WindowClass, ParsesInstanceAndClassToleratingMissingTerminators) {
  struct Row {
    const char* name;
    std::string bytes;
    WindowClass expected;
  };
  const Row rows[] = {
      {"well formed", "xterm\0XTerm\0"s, {"xterm", "XTerm"}},
      {"no final NUL", "xterm\0XTerm"s, {"xterm", "XTerm"}},
      {"no NUL at all", "xterm"s, {"xterm", ""}},
      {"empty", ""s, {"", ""}},
      {"extra names after the class", "a\0b\0c\0"s, {"a", "b"}},
      {"empty instance", "\0Zoom\0"s, {"", "Zoom"}},
  };
  for (const Row& row : rows) EXPECT_EQ(parseWindowClass(row.bytes), row.expected) << row.name;
}

TEST(WindowClass, MeetingAppsAreNamedByTheBlockedListIdentifiers) {
  struct Row {
    WindowClass windowClass;
    bool own;
    std::optional<std::string> expected;
  };
  const Row rows[] = {
      {{"zoom", "zoom"}, false, "us.zoom.xos"},
      {{"microsoft teams - preview", "Microsoft Teams - Preview"}, false, "com.microsoft.teams"},
      {{"teams-for-linux", "teams-for-linux"}, false, "com.microsoft.teams2"},
      {{"CiscoCollabHost", "CiscoCollabHost"}, false, "com.webex.meetingmanager"},
      {{"libreoffice", "libreoffice-impress"}, false, "com.microsoft.Powerpoint"},
      {{"crx_kjgfgldnnfoeklkmfkjfagphfepbbdan", "Google-chrome"}, false,
       "com.google.Chrome.app.kjgfgldnnfoeklkmfkjfagphfepbbdan"},
      {{"crx_", "Chromium"}, false, "Chromium"},
      {{"libreoffice", "libreoffice-writer"}, false, "libreoffice-writer"},
      {{"zoom", "Zoom"}, false, "Zoom"},  // aliases are case-sensitive
      {{"navigator", ""}, false, std::nullopt},
      {{"vorlane", "Vorlane"}, true, "com.corvantis.vorlane"},
      {{"", ""}, true, "com.corvantis.vorlane"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(bundleIdentifierForWindow(row.windowClass, row.own), row.expected)
        << row.windowClass.instance << " / " << row.windowClass.className;
  }
}

}  // namespace
}  // namespace vorlane
