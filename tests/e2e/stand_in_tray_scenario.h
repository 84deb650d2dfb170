#pragma once

// A scenario whose program shows its icon to the stand-in tray watcher, where the test opens
// the icon's menu as a tray host would.

#include <QImage>
#include <memory>
#include <string>

#include "tests/e2e/scenario.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {

class StandInTrayScenario : public Scenario {
 protected:
  // The desktop and the watcher, then the program over seeded settings at 09:10, at real
  // speed, until its icon is in the tray; `empty` is the screen before it, kept as `name`.
  void startWithTray(const std::string& name) {
    startDesktop();
    tray = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
    ASSERT_TRUE(tray->ready()) << "the stand-in watcher did not start";
    seedPreferences();
    empty = screenshot(name);
    launch(at("09:10:00"), 1);
    ASSERT_TRUE(tray->waitForItem(startLimit)) << "the icon never reached the tray host";
  }

  std::unique_ptr<testing::TrayMenu> tray;
  QImage empty;
};

}  // namespace vorlane::e2e
