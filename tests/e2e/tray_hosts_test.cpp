// Where the program's menu lives on desktops with different trays: an XEmbed tray alone
// (trayer, as i3bar, tint2, lxpanel or stalonetray would be), a StatusNotifier watcher
// alone, both, neither, and an XEmbed tray that comes after the start. In each, the icon
// (docked with an ink that stands out, or registered with the watcher), the welcome's word
// on where the menu is, and whether the menu offers click-through.
#include <QColor>
#include <optional>

#include "tests/e2e/program_windows.h"
#include "tests/e2e/scenario.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {
namespace {

// A dark panel: the palette's black text would vanish on it, so an icon that shows there
// shows the ink read from the tray.
constexpr const char* darkPanel = "0x202020";
const QColor lightInk(0xf2, 0xf2, 0xf2);

constexpr const char* inTheTray = "welcome shown: Look for the climber in your system tray.";
constexpr const char* onTheMonkey = "welcome shown: Right-click the monkey for its menu.";
constexpr const char* shownInTheTray = "status item shown in the tray";

// Pixels of `area` within a small distance of `ink`.
int inkedPixels(const QImage& image, QRect area, const QColor& ink) {
  int count = 0;
  area = area.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      count += std::abs(pixel.red() - ink.red()) + std::abs(pixel.green() - ink.green()) +
                   std::abs(pixel.blue() - ink.blue()) <
               24;
    }
  }
  return count;
}

class TrayHostsScenario : public Scenario {
 protected:
  // A first launch, which shows the welcome; the desktop is `pieces` with no compositor.
  void startFirstLaunch(DesktopPieces pieces, bool watcher) {
    pieces.compositor = false;
    pieces.sound = false;
    pieces.notifications = false;
    startDesktop(pieces);
    if (watcher) {
      menu = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
      ASSERT_TRUE(menu->ready()) << "the stand-in watcher did not start";
    }
    seedPreferences([](Preferences& p) { p.hasCompletedOnboarding = false; });
    // At the real pace: the first question to the watcher may take its full short wait.
    launch(at("09:10:00"), 1);
    // Said after the status item was made: what it did by then is in the log.
    ASSERT_TRUE(program->waitForLine("welcome shown: ", startLimit)) << program->log();
  }

  // Waits for the program's icon docked in trayer and drawn there in the light ink.
  void expectDockedWithInk() {
    std::optional<QRect> icon;
    ASSERT_TRUE(desktop->waitUntilManaged(
        [&] { return (icon = dockedIcon(*desktop, program->pid())).has_value(); }, startLimit))
        << "no icon docked in trayer";
    // The program looks at the panel again a moment after docking, and now and then after.
    int inked = 0;
    EXPECT_TRUE(testing::waitUntil(
        [&] { return (inked = inkedPixels(screenshot("tray"), *icon, lightInk)) > 0; }, 90s))
        << "the icon at " << icon->x() << "," << icon->y() << " shows no light ink";
  }

  // Whether the status menu, as the watcher's host reads it, offers click-through.
  bool menuOffersClickThrough() {
    const auto entries = menu->read();
    return testing::findTrayMenuEntry(entries, {"Click-through mascot"}).has_value();
  }

  std::unique_ptr<testing::TrayMenu> menu;
};

TEST_F(TrayHostsScenario, AnXEmbedTrayAloneTakesTheIcon) {
  startFirstLaunch({.trayTint = darkPanel}, false);
  EXPECT_EQ(program->count(inTheTray), 1u);
  EXPECT_EQ(program->count("tray: an XEmbed tray"), 1u);
  EXPECT_EQ(program->count(shownInTheTray), 1u) << "the menu offers click-through only then";
  expectDockedWithInk();
}

TEST_F(TrayHostsScenario, AStatusNotifierWatcherAloneTakesTheIcon) {
  startFirstLaunch({.tray = false}, true);
  EXPECT_EQ(program->count(inTheTray), 1u);
  ASSERT_TRUE(menu->waitForItem(startLimit)) << "the icon never reached the watcher";
  EXPECT_TRUE(menuOffersClickThrough()) << menu->lastLayout();
}

// Qt gives the icon to the watcher's host when there is one; trayer stays empty.
TEST_F(TrayHostsScenario, WithBothTheWatcherTakesTheIcon) {
  startFirstLaunch({}, true);
  EXPECT_EQ(program->count(inTheTray), 1u);
  EXPECT_EQ(program->count("tray: a StatusNotifier host and an XEmbed tray"), 1u);
  ASSERT_TRUE(menu->waitForItem(startLimit)) << "the icon never reached the watcher";
  EXPECT_TRUE(menuOffersClickThrough()) << menu->lastLayout();
}

TEST_F(TrayHostsScenario, WithoutATrayTheMenuIsOnTheMonkey) {
  startFirstLaunch({.tray = false}, false);
  EXPECT_EQ(program->count(onTheMonkey), 1u);
  EXPECT_EQ(program->count("tray: none"), 1u);
  EXPECT_EQ(program->count(shownInTheTray), 0u) << "no tray, no click-through entry";
  EXPECT_TRUE(program->running());
}

// Regression: with no StatusNotifier watcher, trayer's panel stayed empty for good.
TEST_F(TrayHostsScenario, AnXEmbedTrayThatComesLaterTakesTheIcon) {
  startDesktop({.compositor = false,
                .tray = false,
                .notifications = false,
                .sound = false,
                .trayTint = darkPanel});
  seedPreferences();
  launch(at("09:10:00"), 1);
  ASSERT_TRUE(program->waitForLine("tray: none", startLimit)) << program->log();
  ASSERT_TRUE(desktop->startTray()) << desktop->failure();
  ASSERT_TRUE(program->waitForLine("tray: an XEmbed tray", startLimit));
  EXPECT_TRUE(program->waitForLine(shownInTheTray, startLimit))
      << "the menu never came to offer click-through";
  expectDockedWithInk();
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
