#include "platform/desktop/windows/window_class.h"

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
    EXPECT_EQ(appIDForWindow(windowClass, own), expected)
        << windowClass.instance << " / " << windowClass.className;
  }
}

}  // namespace
}  // namespace vorlane

namespace vorlane {
namespace {

TEST(WindowClass,
     TypedClassesAreTrimmedMappedLikeReportedWindowsAndRefusedWhenNoClassCouldSayThem) {
  const struct {
    const char* name;
    std::string typed;
    std::optional<std::string> expected;
  } rows[] = {
      {"plain class", "obs", "obs"},
      {"blanks trimmed", "  Gimp-2.10\t", "Gimp-2.10"},
      {"alias mapped", "zoom", "us.zoom.xos"},
      {"class with spaces", "Microsoft Teams - Preview", "com.microsoft.teams"},
      {"web app", "crx_abc", "com.google.Chrome.app.abc"},
      {"empty", "", std::nullopt},
      {"only blanks", " \t\n ", std::nullopt},
      {"line break inside", "obs\nstudio", std::nullopt},
      {"NUL inside", "obs\0x"s, std::nullopt},
      {"delete character", "obs\x7f", std::nullopt},
      {"invalid UTF-8", "caf\xc3", std::nullopt},
      {"too long", std::string(129, 'a'), std::nullopt},
      {"longest allowed", std::string(128, 'a'), std::string(128, 'a')},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(appIDForTypedWindowClass(row.typed), row.expected) << row.name;
  }
}

TEST(WindowClass, AliasedIdentifiersLeadBackToTheirClassAndReadableName) {
  EXPECT_EQ(windowClassForAppID("us.zoom.xos"), "zoom");
  EXPECT_EQ(readableAppName("us.zoom.xos"), "Zoom");
  EXPECT_EQ(windowClassForAppID("com.microsoft.Powerpoint"), "libreoffice-impress");
  EXPECT_EQ(windowClassForAppID("com.google.Chrome.app.xyz"), "crx_xyz");
  EXPECT_EQ(windowClassForAppID("com.apple.iWork.Keynote"), std::nullopt);
  EXPECT_EQ(readableAppName("com.apple.iWork.Keynote"), std::nullopt);
  // Every alias survives the round trip from its class to its identifier and back.
  for (const char* id : {"us.zoom.xos", "com.microsoft.teams", "com.microsoft.teams2",
                         "com.webex.meetingmanager", "com.microsoft.Powerpoint"}) {
    const auto windowClass = windowClassForAppID(id);
    ASSERT_TRUE(windowClass) << id;
    EXPECT_EQ(appIDForTypedWindowClass(*windowClass), id);
    EXPECT_TRUE(readableAppName(id)) << id;
  }
}

}  // namespace
}  // namespace vorlane
