// The preferences window on a screen smaller than its minimum: 1920x1080 at a scale of 2, so
// 960x540 to the program, against a minimum of 720x560.
#include <sstream>

#include "tests/e2e/scenario.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {
namespace {

constexpr const char* windowTitle = "Vorlane Preferences";
const QRect screen(0, 0, 1920, 1080);

class SmallScreenScenario : public Scenario {
 protected:
  // The frame of the window with the keyboard, as the X server has it: the window's own area
  // on the root window grown by what the window manager put around it. Empty when none has
  // the keyboard.
  QRect activeFrame() const {
    const auto info = testing::commandOutput(desktop->withEnvironment(
        "w=$(xdotool getactivewindow) && xwininfo -id $w && xprop -id $w -notype "
        "_NET_FRAME_EXTENTS"));
    if (!info) return {};
    const auto value = [&](const std::string& key) {
      const auto at = info->find(key);
      return at == std::string::npos ? -1 : std::atoi(info->c_str() + at + key.size());
    };
    const QRect client(value("Absolute upper-left X:"), value("Absolute upper-left Y:"),
                       value("Width:"), value("Height:"));
    // "_NET_FRAME_EXTENTS = left, right, top, bottom"
    const auto at = info->find("_NET_FRAME_EXTENTS = ");
    if (at == std::string::npos || client.isEmpty()) return {};
    std::istringstream numbers(info->substr(at + 21));
    int left = 0, right = 0, top = 0, bottom = 0;
    char comma = 0;
    numbers >> left >> comma >> right >> comma >> top >> comma >> bottom;
    return client.adjusted(-left, -top, right, bottom);
  }

  std::unique_ptr<testing::TrayMenu> tray;
};

// Regression: centred at its size, the window's title bar was above the screen (y = -100)
// and its bottom below it.
TEST_F(SmallScreenScenario, PreferencesTallerThanTheScreenIsPlacedInsideIt) {
  desktop = std::make_unique<DesktopSession>(
      DesktopPieces{.compositor = false, .tray = false, .notifications = false, .sound = false},
      "1920x1080x24");
  ASSERT_TRUE(desktop->ready()) << desktop->failure();
  program = std::make_unique<ProgramRun>(*desktop, home.path());
  tray = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
  ASSERT_TRUE(tray->ready()) << "the stand-in watcher did not start";
  seedPreferences();
  ASSERT_TRUE(program->start({zone, at("09:10:00"), 1}, {"QT_SCALE_FACTOR=2"}));
  ASSERT_TRUE(program->waitForLine("Vorlane launching", startLimit)) << program->log();
  ASSERT_TRUE(tray->waitForItem(startLimit)) << "the icon never reached the tray host";
  ASSERT_TRUE(tray->choose({"Preferences..."})) << tray->lastLayout();
  ASSERT_TRUE(waitForActive(windowTitle)) << "active: " << activeWindowName();

  QRect frame;
  const bool inside = testing::waitUntil(
      [&] {
        frame = activeFrame();
        return !frame.isEmpty() && screen.contains(frame);
      },
      30s);
  screenshot("preferences-small-screen");
  EXPECT_TRUE(inside) << "frame " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                      << frame.height();
  EXPECT_GT(frame.top(), screen.top() - 1) << "its title bar is on the screen";
  // Below its minimum of 560 (1120 pixels at the scale of 2): its panel scrolls. As wide as
  // it was made, which fits.
  EXPECT_LT(frame.height(), 1120);
  EXPECT_GE(frame.width(), 1560);
}

}  // namespace
}  // namespace vorlane::e2e
