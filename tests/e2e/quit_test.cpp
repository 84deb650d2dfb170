// Quitting while what the program waits on hangs: a calendar read held inside the calendar
// service's plugin by a service that takes every call and answers none, the fake logind and
// screen saver answering nothing, the session bus held as a stalled machine holds it, and the
// X server held by another client's grab. Asked to end by a logout's SIGTERM, by Ctrl+C's
// SIGINT or from the tray's menu, the program saves the running focus and is gone within
// seconds.
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "tests/e2e/calendar_focus_scenario.h"

namespace vorlane::e2e {
namespace {

// Generous: the program is gone a few seconds after the running focus is saved; one that
// hangs never is.
constexpr auto endLimit = 20s;

// Another client's grab of the X server, as a window manager or a screen locker that hangs
// in the middle of one leaves it: the server serves no one else until the grab goes.
class XServerGrab {
 public:
  explicit XServerGrab(const std::string& display)
      : connection_(xcb_connect(display.c_str(), nullptr)) {
    xcb_grab_server(connection_);
    // Answered only once the server holds the grab.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
  }
  ~XServerGrab() {
    xcb_ungrab_server(connection_);
    xcb_disconnect(connection_);
  }
  XServerGrab(const XServerGrab&) = delete;
  XServerGrab& operator=(const XServerGrab&) = delete;

 private:
  xcb_connection_t* connection_;
};

class QuitScenario : public CalendarFocusScenario {
 protected:
  // The calendar service's two names on the session bus, owned by a stand-in that never
  // answers: the plugin's first call waits there for GLib's 25 seconds.
  bool startSilentCalendarService() {
    calendarService = std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{VORLANE_SILENT_SERVICE, "org.gnome.evolution.dataserver.Sources5",
                                 "org.gnome.evolution.dataserver.Calendar8"},
        true, desktop->environment());
    return calendarService->readLine(20s) == "ready";
  }

  // The program started anew (the log goes on from the runs before), its icon in the tray.
  void relaunch(std::size_t runs) {
    ASSERT_TRUE(program->start({zone, at("09:10:00"), calendarSpeed}));
    ASSERT_TRUE(program->waitForLine("Vorlane launching", startLimit, runs + 1)) << program->log();
    ASSERT_TRUE(tray->waitForItem(startLimit)) << "the icon never reached the tray host";
  }

  // A focus running with its goal, and the calendar focus window reading the calendars: the
  // read waits in the calendar service's plugin for an answer that never comes.
  void focusWhileACalendarReadHangs(std::size_t runs) {
    ASSERT_TRUE(program->waitForLine("hotkey registered with identifier 2", startLimit, runs + 1));
    ASSERT_TRUE(typeCommand("focus 25m write the report")) << "the window never had the keys";
    ASSERT_TRUE(program->waitForLine("started a 25 minute session", 60s, runs + 1));
    ASSERT_TRUE(openFromTray());
    const auto call = calendarService->readLine(60s);
    ASSERT_TRUE(call && call->starts_with("call "))
        << "the calendar read never reached the service";
  }

  // Grabs the X server once the program has logged that it is terminating, its saves done
  // (earlier, a repaint waiting on the server could hold the loop before it hears the end):
  // the program is stopped the moment the line is there, the server grabbed, and the program
  // let go on, so that whatever X work its end has left waits on the grab. None when the
  // program has ended first, or does not say so by `deadline`.
  std::unique_ptr<XServerGrab> grabOnceTerminating(std::size_t runs,
                                                   std::chrono::steady_clock::time_point deadline) {
    while (program->count("Vorlane terminating") <= runs) {
      if (!program->running() || std::chrono::steady_clock::now() > deadline) return nullptr;
      usleep(500);
    }
    ::kill(program->pid(), SIGSTOP);
    auto grab = std::make_unique<XServerGrab>(desktop->display());
    ::kill(program->pid(), SIGCONT);
    return grab;
  }

  std::unique_ptr<testing::ChildProcess> calendarService;
};

TEST_F(QuitScenario, AnEndAskedWhileTheCalendarTheBusesAndTheXServerHangIsOverWithTheFocusSaved) {
  startWithTrayHost();
  ASSERT_TRUE(startSilentCalendarService()) << "the silent calendar service did not start";
  // Calendar reading allowed and the calendar focus on: the window reads as it opens.
  testing::writeFile(program->configFile("calendarAccess.v1"), "true");
  testing::writeFile(program->configFile("calendarFocusEnabled"), "true");
  // A signal is sent with the session bus held; the tray's Quit travels on it, so the bus is
  // left going for the click.
  const struct {
    const char* name;
    std::function<bool()> ask;
    bool overTheBus;
  } ways[] = {
      {"SIGTERM, as a logout sends it", [&] { return ::kill(program->pid(), SIGTERM) == 0; },
       false},
      {"SIGINT, as Ctrl+C sends it", [&] { return ::kill(program->pid(), SIGINT) == 0; }, false},
      {"Quit Vorlane in the tray's menu", [&] { return tray->choose({"Quit Vorlane"}); }, true},
  };
  std::size_t runs = 0;
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    std::filesystem::remove(program->configFile("focusRecovery.v1"));
    relaunch(runs);
    focusWhileACalendarReadHangs(runs);
    if (HasFatalFailure()) return;

    ASSERT_TRUE(desktop->answer(false));
    if (!way.overTheBus) {
      ASSERT_TRUE(desktop->holdSessionBus(true));
    }
    const auto deadline = std::chrono::steady_clock::now() + endLimit;
    ASSERT_TRUE(way.ask()) << tray->lastLayout();
    auto grab = grabOnceTerminating(runs, deadline);
    const bool ended = testing::waitUntil([&] { return !program->running(); },
                                          std::chrono::duration_cast<std::chrono::milliseconds>(
                                              deadline - std::chrono::steady_clock::now()));
    grab.reset();
    desktop->holdSessionBus(false);
    desktop->answer(true);
    ++runs;

    if (!ended) program->stop(SIGKILL);
    ASSERT_TRUE(ended) << "still running " << endLimit.count() << " s after " << way.name;
    const auto status = program->exitStatus();
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
    EXPECT_EQ(program->count("Vorlane terminating"), runs);
    EXPECT_NE(testing::readFile(program->configFile("focusRecovery.v1"))
                  .value_or("")
                  .find("write the report"),
              std::string::npos)
        << "the running focus was not saved";
  }
}

}  // namespace
}  // namespace vorlane::e2e
