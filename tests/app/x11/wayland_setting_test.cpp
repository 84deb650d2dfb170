// The real program started with a Wayland user's QT_QPA_PLATFORM on a desktop whose X server
// (XWayland there, a private Xvfb here) is named by DISPLAY. Qt's Wayland platform, missing
// here and with no compositor to reach, is never asked for.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <ctime>
#include <string>

#include "tests/support/private_dbus.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"
#include "tests/support/xvfb_server.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;

// Generous: a loaded machine starts Qt slowly.
constexpr auto startLimit = 60s;
constexpr const char* launched = "vorlane[lifecycle] info: Vorlane launching";

class WaylandSetting : public ::testing::TestWithParam<const char*> {};

// Regression: Qt aborted on the Wayland platform asked for (exit 134) while the X display
// was there to run on.
TEST_P(WaylandSetting, RunsOnTheXDisplayAndSaysWhy) {
  ASSERT_TRUE(std::filesystem::exists(testing::fakeTimeLibrary)) << "libfaketime is missing";
  const testing::XvfbServer server("640x480x24");
  ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
  const testing::PrivateDBus bus;
  ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
  const testing::TempFolder home;
  testing::ProgramRun program(
      {"DISPLAY=" + server.display(), "DBUS_SESSION_BUS_ADDRESS=" + bus.address(),
       "DBUS_SYSTEM_BUS_ADDRESS=" + bus.address(), "PULSE_SERVER=unix:/nonexistent",
       "WAYLAND_DISPLAY=wayland-0", "XDG_CURRENT_DESKTOP="},
      home.path());
  const std::string setting = GetParam();
  ASSERT_TRUE(program.start({"UTC", std::time(nullptr) - 3600, 1},
                            {"QT_QPA_PLATFORM=" + setting, "DONT_FAKE_MONOTONIC=1"}));
  const bool settled = testing::waitUntil(
      [&] { return program.count(launched) > 0 || !program.running(); }, startLimit);
  ASSERT_TRUE(settled && program.running())
      << "ended before it ran, wait status " << program.exitStatus().value_or(-1) << "\n"
      << program.log();
  EXPECT_EQ(program.count("vorlane[lifecycle] info: QT_QPA_PLATFORM \"" + setting +
                          "\" names only Wayland platforms; Vorlane needs X11, so it runs on "
                          "xcb on the X display \"" +
                          server.display() + "\""),
            1u)
      << program.log();
  const auto status = program.stop(SIGTERM);
  ASSERT_TRUE(status.has_value()) << "still running 30 s after SIGTERM";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status << "\n"
                                                               << program.log();
}

INSTANTIATE_TEST_SUITE_P(Settings, WaylandSetting,
                         ::testing::Values("wayland", "wayland-egl;wayland"), [](const auto& info) {
                           return info.index == 0 ? std::string("Wayland")
                                                  : std::string("WaylandPlatformsOnly");
                         });

}  // namespace
}  // namespace vorlane
