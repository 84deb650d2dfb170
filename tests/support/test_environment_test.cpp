#include "tests/support/test_environment.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <set>

#include "tests/support/child_process.h"

extern char** environ;

namespace vorlane::testing {
namespace {

using namespace std::chrono_literals;

// What a desktop session's terminal exports, beside what a test keeps of it.
TEST(TestEnvironmentTest, KeepsOnlyThePathLocaleZoneAndTheTestsOwnOfADesktopCaller) {
  const char* caller[] = {"PATH=/usr/bin:/bin",
                          "LANG=de_DE.UTF-8",
                          "LC_TIME=en_GB.UTF-8",
                          "TZ=Europe/Berlin",
                          "TMPDIR=/tmp/mine",
                          "VORLANE_E2E_PROGRAM=/opt/vorlane",
                          "GTEST_SHARD_INDEX=1",
                          "ASAN_OPTIONS=detect_leaks=0",
                          "HOME=/home/ann",
                          "XDG_CONFIG_HOME=/home/ann/.config",
                          "XDG_DATA_HOME=/home/ann/.local/share",
                          "XDG_CACHE_HOME=/home/ann/.cache",
                          "XDG_STATE_HOME=/home/ann/.local/state",
                          "XDG_RUNTIME_DIR=/run/user/1000",
                          "XDG_DATA_DIRS=/home/ann/.local/share/flatpak/exports/share:/usr/share",
                          "XDG_SESSION_TYPE=wayland",
                          "XDG_CURRENT_DESKTOP=GNOME",
                          "DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/1000/bus",
                          "DBUS_STARTER_ADDRESS=unix:path=/run/user/1000/bus",
                          "DISPLAY=:0",
                          "WAYLAND_DISPLAY=wayland-0",
                          "XAUTHORITY=/run/user/1000/.mutter-Xwaylandauth",
                          "PULSE_SERVER=unix:/run/user/1000/pulse/native",
                          "QT_QPA_PLATFORM=wayland",
                          "QT_IM_MODULE=ibus",
                          "GTK_MODULES=gail:atk-bridge",
                          "AT_SPI_BUS_ADDRESS=unix:path=/run/user/1000/at-spi/bus",
                          "LD_PRELOAD=/usr/lib/libgtk3-nocsd.so.0",
                          "EMAIL=ann@example.org",
                          nullptr};
  EXPECT_EQ(TestEnvironment::kept(caller),
            (std::vector<std::string>{"PATH=/usr/bin:/bin", "LANG=de_DE.UTF-8",
                                      "LC_TIME=en_GB.UTF-8", "TZ=Europe/Berlin", "TMPDIR=/tmp/mine",
                                      "VORLANE_E2E_PROGRAM=/opt/vorlane", "GTEST_SHARD_INDEX=1",
                                      "ASAN_OPTIONS=detect_leaks=0"}));
}

// ctest's own setting for a test comes under the prefix and wins over the caller's, whichever
// comes first.
TEST(TestEnvironmentTest, WhatCtestSetsForTheTestReplacesTheCallersVariable) {
  const char* caller[] = {"QT_QPA_PLATFORM=wayland",
                          "TZ=Asia/Tokyo",
                          "VORLANE_TEST_SET_QT_QPA_PLATFORM=offscreen:configfile=/a.json",
                          "VORLANE_TEST_SET_TZ=UTC",
                          "VORLANE_TEST_SET_=nothing",
                          nullptr};
  EXPECT_EQ(TestEnvironment::kept(caller),
            (std::vector<std::string>{"QT_QPA_PLATFORM=offscreen:configfile=/a.json", "TZ=UTC"}));
}

TEST(TestEnvironmentTest, MergedKeepsTheFirstOfEachName) {
  EXPECT_EQ(
      TestEnvironment::merged({"HOME=/a", "DISPLAY=:3", "HOME=/b"},
                              {"PATH=/bin", "DISPLAY=:0", "HOMEDIR=/c", "EMPTY="}),
      (std::vector<std::string>{"HOME=/a", "DISPLAY=:3", "PATH=/bin", "HOMEDIR=/c", "EMPTY="}));
}

TEST(TestEnvironmentTest, AHomeHasEveryBaseFolderMadeAndAPrivateRuntimeFolder) {
  TempFolder folder;
  const auto home = folder / "home";
  const auto entries = TestEnvironment::homeAt(home);
  std::set<std::string> names;
  for (const std::string& entry : entries) {
    const auto at = entry.find('=');
    names.insert(entry.substr(0, at));
    const std::filesystem::path path = entry.substr(at + 1);
    EXPECT_TRUE(std::filesystem::is_directory(path)) << entry;
    EXPECT_EQ(path.string().rfind(home.string(), 0), 0u) << entry << " is outside the home";
  }
  EXPECT_EQ(names, (std::set<std::string>{"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                          "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}));
  EXPECT_EQ(permissions(home / "runtime"), 0700u);
}

// This binary, like every test binary, runs so: its home is a fresh folder of its own, and
// nothing of a caller's session is left, whoever started it.
TEST(TestEnvironmentTest, TheBinaryRunsInAHomeOfItsOwnWithNothingOfTheCallersSession) {
  const char* home = std::getenv("HOME");
  ASSERT_NE(home, nullptr);
  EXPECT_EQ(std::string(home).rfind(
                (std::filesystem::temp_directory_path() / "vorlane-test-").string(), 0),
            0u)
      << home;
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                           "XDG_RUNTIME_DIR"}) {
    const char* value = std::getenv(name);
    ASSERT_NE(value, nullptr) << name;
    EXPECT_EQ(std::string(value).rfind(home, 0), 0u) << name << "=" << value;
  }
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    for (const char* prefix : {"DBUS_", "DISPLAY=", "WAYLAND_", "XDG_SESSION", "XDG_CURRENT",
                               "XAUTHORITY=", "PULSE_", "QT_", "LD_PRELOAD="}) {
      EXPECT_NE(entry.rfind(prefix, 0), 0u) << entry;
    }
  }
}

// A child given a variable its parent has gets it once, with the given value: a shell that
// read the last of two would find the parent's.
TEST(TestEnvironmentTest, AChildGetsEachVariableOnceWithTheValueItIsGiven) {
  TempFolder folder;
  const auto out = folder / "env";
  {
    ChildProcess child({"sh", "-c", "env >\"$0\"", out.string()}, false,
                       {"HOME=" + folder.path().string(), "VORLANE_GIVEN=1"});
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(waitUntil([&] { return !child.running(); }, 30s));
  }
  const std::string env = readFile(out).value_or("");
  size_t homes = 0;
  for (size_t at = 0; (at = env.find("\nHOME=", at)) != std::string::npos; ++at) ++homes;
  if (env.rfind("HOME=", 0) == 0) ++homes;
  EXPECT_EQ(homes, 1u) << env;
  EXPECT_NE(env.find("HOME=" + folder.path().string() + "\n"), std::string::npos) << env;
  EXPECT_NE(env.find("VORLANE_GIVEN=1\n"), std::string::npos) << env;
}

}  // namespace
}  // namespace vorlane::testing
