#pragma once

// The calendar focus window on a whole desktop: opened from the tray, answered with the keys.

#include <ctime>
#include <memory>
#include <string>
#include <thread>

#include "tests/e2e/scenario.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {

// Real time: the offer is counted in whole minutes from the faked now.
constexpr int calendarSpeed = 1;
constexpr const char* focusWindow = "Find a focus window \u2014 Vorlane";
constexpr const char* consentWindow = "Calendar access \u2014 Vorlane";

class CalendarFocusScenario : public Scenario {
 protected:
  void startWithTrayHost(const testing::BusServices& sessionServices = {}) {
    startDesktop({}, sessionServices);
    tray = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
    ASSERT_TRUE(tray->ready()) << "the stand-in watcher did not start";
    seedPreferences();
  }
  void launchWithTray(std::time_t start) {
    launch(start, calendarSpeed);
    ASSERT_TRUE(tray->waitForItem(startLimit)) << "the icon never reached the tray host";
  }
  bool opened(const std::string& window) { return waitForActive(window); }
  bool openFromTray() {
    if (!tray->choose({"Find a calendar focus window…"})) {
      ADD_FAILURE() << "no enabled calendar entry in\n" << tray->lastLayout();
      return false;
    }
    return opened(focusWindow);
  }
  bool windowExists(const std::string& name) const {
    return desktop->shell("xdotool search --onlyvisible --name " + testing::quoted(name) +
                          " >/dev/null 2>&1");
  }
  bool key(const std::string& name) { return desktop->shell("xdotool key " + name); }
  bool type(const std::string& text) {
    return desktop->shell("xdotool type --delay 10 " + testing::quoted(text));
  }
  // The window has drawn what changed.
  void settle() { settled(); }

  std::unique_ptr<testing::TrayMenu> tray;
};

}  // namespace vorlane::e2e
