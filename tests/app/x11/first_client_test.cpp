// The real program as the first client of a fresh X server that resets when its last client
// leaves, as with `vorlane &` before the window manager in .xinitrc.
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

constexpr int launches = 30;
// Generous: a loaded machine starts Qt slowly.
constexpr auto startLimit = 60s;
constexpr const char* launched = "vorlane[lifecycle] info: Vorlane launching";

// Regression: the display check connected and disconnected, the server reset as its only
// client left, and Qt's own connection a moment later found it resetting and aborted (exit
// 134). Each launch has a server, a bus and a home of its own, and ends once it runs.
TEST(FirstClient, EveryLaunchOnAFreshResettingServerRuns) {
  for (int launch = 1; launch <= launches; ++launch) {
    SCOPED_TRACE("launch " + std::to_string(launch));
    const testing::XvfbServer server("640x480x24",
                                     testing::XvfbServer::Resets::whenLastClientLeaves);
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    const testing::PrivateDBus bus;
    ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
    const testing::TempFolder home;
    testing::ProgramRun program(
        {"DISPLAY=" + server.display(), "DBUS_SESSION_BUS_ADDRESS=" + bus.address(),
         "DBUS_SYSTEM_BUS_ADDRESS=" + bus.address(), "PULSE_SERVER=unix:/nonexistent",
         "WAYLAND_DISPLAY=", "XDG_CURRENT_DESKTOP="},
        home.path());
    // An hour ago: libfaketime takes an offset with its sign only.
    ASSERT_TRUE(program.start({"UTC", std::time(nullptr) - 3600, 1}, {"DONT_FAKE_MONOTONIC=1"}));
    const bool running = testing::waitUntil(
        [&] { return program.count(launched) > 0 || !program.running(); }, startLimit);
    ASSERT_TRUE(running && program.running())
        << "ended before it ran, wait status " << program.exitStatus().value_or(-1) << "\n"
        << program.log();
    const auto status = program.stop(SIGTERM);
    ASSERT_TRUE(status.has_value()) << "still running 30 s after SIGTERM";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
        << "wait status " << *status << "\n"
        << program.log();
  }
}

}  // namespace
}  // namespace vorlane
