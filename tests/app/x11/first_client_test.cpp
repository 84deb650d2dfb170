// The real program as the first client of a fresh X server that resets when its last client
// leaves, as with `vorlane &` before the window manager in .xinitrc.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>

#include <chrono>
#include <ctime>
#include <memory>
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

// This thread, and so every process it starts (the server, the bus, the program), kept to one
// processor while a busy loop of its own runs there too. A program that let go of the server
// and connected again a moment later then waits out the loop's turn in between, time for the
// server, left without a client, to be resetting; with processors to spare the moment is too
// short for that to be seen.
class OneBusyProcessor {
 public:
  OneBusyProcessor() {
    if (sched_getaffinity(0, sizeof(allowed_), &allowed_) != 0 || CPU_COUNT(&allowed_) == 0) {
      return;
    }
    // The one this thread is on, so that tests run side by side do not all take the first.
    int processor = sched_getcpu();
    if (processor < 0 || !CPU_ISSET(processor, &allowed_)) {
      for (processor = 0; !CPU_ISSET(processor, &allowed_); ++processor) {
      }
    }
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(processor, &one);
    pinned_ = sched_setaffinity(0, sizeof(one), &one) == 0;
    if (pinned_) {
      loop_ = std::make_unique<testing::ChildProcess>(
          std::vector<std::string>{"sh", "-c", "while :; do :; done"}, false);
    }
  }
  ~OneBusyProcessor() {
    loop_.reset();
    if (pinned_) sched_setaffinity(0, sizeof(allowed_), &allowed_);
  }
  OneBusyProcessor(const OneBusyProcessor&) = delete;
  OneBusyProcessor& operator=(const OneBusyProcessor&) = delete;

  bool busy() const { return pinned_ && loop_ && loop_->started(); }

 private:
  cpu_set_t allowed_{};
  bool pinned_ = false;
  std::unique_ptr<testing::ChildProcess> loop_;
};

// Regression: the display check connected and disconnected, the server reset as its only
// client left, and Qt's own connection a moment later found it resetting and aborted (exit
// 134). Each launch has a server, a bus and a home of its own, and ends once it runs; all of
// them share one busy processor.
TEST(FirstClient, EveryLaunchOnAFreshResettingServerRuns) {
  const OneBusyProcessor processor;
  ASSERT_TRUE(processor.busy()) << "could not keep the test to one processor beside a busy loop";
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
