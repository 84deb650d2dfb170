#include "platform/session/launch_at_login.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <system_error>

#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

using testing::TempFolder;

struct LaunchAtLoginTest : ::testing::Test {
  TempFolder config;
  std::filesystem::path entry = config / "autostart/com.corvantis.vorlane.desktop";
  LaunchAtLogin login{entry, "/usr/bin/vorlane"};
};

TEST_F(LaunchAtLoginTest, RegisterWritesTheEntryAndUnregisterRemovesItOrFailureThrows) {
  EXPECT_EQ(login.status(), LaunchAtLoginStatus::notRegistered);
  testing::writeFile(config / "autostart", "a file where the folder should be");
  EXPECT_THROW(login.registerApp(), std::system_error);
  EXPECT_EQ(login.status(), LaunchAtLoginStatus::notRegistered) << "nothing half written";
  std::filesystem::remove(config / "autostart");
  login.registerApp();  // creates the missing autostart folder
  EXPECT_EQ(login.status(), LaunchAtLoginStatus::enabled);
  EXPECT_EQ(testing::readFile(entry),
            "[Desktop Entry]\nType=Application\nName=Vorlane\nExec=/usr/bin/vorlane\n"
            "X-GNOME-Autostart-enabled=true\n");
  EXPECT_EQ(testing::folderEntries(entry.parent_path()),
            std::vector<std::string>{"com.corvantis.vorlane.desktop"})
      << "no temporary file is left behind";
  login.registerApp();  // again, over the existing entry
  EXPECT_EQ(login.status(), LaunchAtLoginStatus::enabled);

  login.unregisterApp();
  EXPECT_EQ(login.status(), LaunchAtLoginStatus::notRegistered);
  EXPECT_NO_THROW(login.unregisterApp()) << "a missing entry counts as removed";
}

TEST_F(LaunchAtLoginTest, AnEntryWrittenByTheDesktopCountsUnlessHidden) {
  std::filesystem::create_directories(entry.parent_path());
  const std::pair<std::string, LaunchAtLoginStatus> rows[] = {
      {"[Desktop Entry]\nExec=vorlane\n", LaunchAtLoginStatus::enabled},
      {"[Desktop Entry]\nHidden=true\n", LaunchAtLoginStatus::notRegistered},
      {"[Desktop Entry]\nHidden = true\r\n", LaunchAtLoginStatus::notRegistered},
      {"[Desktop Entry]\nHidden=false\n", LaunchAtLoginStatus::enabled},
      {"[Desktop Action x]\nHidden=true\n", LaunchAtLoginStatus::enabled},
      {"[Desktop Entry]\n#Hidden=true\n", LaunchAtLoginStatus::enabled},
      {"", LaunchAtLoginStatus::enabled},
  };
  for (const auto& [text, expected] : rows) {
    testing::writeFile(entry, text);
    EXPECT_EQ(login.status(), expected) << text;
  }
  ::chmod(entry.c_str(), 0);
  if (::geteuid() != 0) {
    EXPECT_EQ(login.status(), LaunchAtLoginStatus::notRegistered) << "unreadable";
  }
  std::filesystem::remove(entry);
  std::filesystem::create_directory(entry);
  EXPECT_EQ(login.status(), LaunchAtLoginStatus::notRegistered) << "a folder in its place";
  EXPECT_THROW(login.unregisterApp(), std::system_error);
}

TEST(DesktopExecArgument, QuotesReservedCharactersAndEscapesForTheFile) {
  const std::pair<std::string, std::string> rows[] = {
      {"/usr/bin/vorlane", "/usr/bin/vorlane"},
      {"/opt/my apps/vorlane", R"("/opt/my apps/vorlane")"},
      {"/opt/a$b/vorlane", R"("/opt/a\\$b/vorlane")"},
      {"/opt/a\"b/v", R"("/opt/a\\"b/v")"},
      {"/opt/a\\b/v", R"("/opt/a\\\\b/v")"},
      {"/opt/50%/v", "/opt/50%%/v"},
      {"/opt/new\nline", R"("/opt/new\nline")"},
  };
  for (const auto& [path, expected] : rows) EXPECT_EQ(desktopExecArgument(path), expected) << path;
}

TEST(LaunchAtLoginDefault, TheEntryLivesUnderTheConfigHome) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string restore = saved ? saved : "";
  const char* savedHome = std::getenv("HOME");
  const std::string restoreHome = savedHome ? savedHome : "";
  setenv("XDG_CONFIG_HOME", "/tmp/vorlane-config", 1);
  EXPECT_EQ(LaunchAtLogin::defaultEntryFile(),
            std::filesystem::path("/tmp/vorlane-config/autostart/com.corvantis.vorlane.desktop"));
  setenv("XDG_CONFIG_HOME", "relative/path", 1);
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(LaunchAtLogin::defaultEntryFile(),
            std::filesystem::path("/home/someone/.config/autostart/com.corvantis.vorlane.desktop"));
  if (saved)
    setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
  if (savedHome)
    setenv("HOME", restoreHome.c_str(), 1);
  else
    unsetenv("HOME");
}

}  // namespace
}  // namespace vorlane
