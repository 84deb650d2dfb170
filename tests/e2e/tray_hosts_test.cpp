// Where the program's menu lives on desktops with different trays: an XEmbed tray alone
// (trayer, as i3bar, tint2, lxpanel or stalonetray would be), a StatusNotifier watcher
// alone, both, neither, and an XEmbed tray that comes after the start. In each, the icon
// (docked with an ink that stands out, or registered with the watcher), the welcome's word
// on where the menu is, and whether the menu offers click-through. Then trays that go while
// the program runs: the icon moves to the other kind, and with none left the monkey takes
// the pointer again and carries the menu.
#include <QColor>
#include <optional>

#include "tests/e2e/character_at.h"
#include "tests/e2e/program_windows.h"
#include "tests/e2e/scenario.h"
#include "tests/e2e/week_scenario.h"
#include "tests/support/image_pixels.h"
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
constexpr const char* preferencesTitle = "Vorlane Preferences";
// The right edge of the 1280x800 screen, where the character hangs.
const QRect column(1040, 0, 240, 800);

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

  // Waits for the program's icon docked in trayer and drawn there in the light ink; where
  // it is.
  QRect expectDockedWithInk() {
    std::optional<QRect> icon;
    EXPECT_TRUE(desktop->waitUntilManaged(
        [&] { return (icon = dockedIcon(*desktop, program->pid())).has_value(); }, startLimit))
        << "no icon docked in trayer";
    if (!icon) return {};
    // The program looks at the panel again a moment after docking, and now and then after.
    int inked = 0;
    EXPECT_TRUE(testing::waitUntil(
        [&] { return (inked = inkedPixels(screenshot("tray"), lightInk, *icon)) > 0; }, 90s))
        << "the icon at " << icon->x() << "," << icon->y() << " shows no light ink";
    return *icon;
  }

  // Clicks `button` at `at` and waits for a window of the program to open there: a menu.
  bool opensMenu(QPoint at, int button) {
    const int before = visibleWindows();
    return desktop->shell("xdotool mousemove " + std::to_string(at.x()) + " " +
                          std::to_string(at.y()) + " click " + std::to_string(button)) &&
           testing::waitUntil([&] { return visibleWindows() > before; }, 30s);
  }

  // Goes up the open menu from its end by `rows` entries and takes that entry.
  bool chooseFromTheEnd(int rows) {
    std::string keys;
    for (int i = 0; i < rows; ++i) keys += " Up";
    return desktop->shell("xdotool key" + keys + " Return");
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

// Regression: with both trays the icon registered with the host; when the host went, it never
// docked in the XEmbed tray and the program still counted a tray as shown, so neither the
// tray nor the monkey offered Preferences or Quit. The icon is made anew in the XEmbed tray,
// in the ink of its panel, and its menu opens and works there.
TEST_F(TrayHostsScenario, WhenTheHostGoesTheIconMovesToTheXEmbedTray) {
  startFirstLaunch({.trayTint = darkPanel}, true);
  ASSERT_TRUE(menu->waitForItem(startLimit)) << "the icon never reached the watcher";
  menu->stopWatcher();
  ASSERT_TRUE(program->waitForLine("tray: an XEmbed tray", startLimit)) << program->log();
  ASSERT_TRUE(program->waitForLine("status item moved to the XEmbed tray", startLimit))
      << program->log();
  const QRect icon = expectDockedWithInk();
  ASSERT_FALSE(icon.isEmpty());

  // The menu's last entries: Preferences..., About Vorlane, Quit Vorlane.
  ASSERT_TRUE(opensMenu(icon.center(), 1)) << "no menu opened on the docked icon";
  ASSERT_TRUE(chooseFromTheEnd(3));
  EXPECT_TRUE(waitForActive(preferencesTitle)) << "Preferences did not open from the menu";
  ASSERT_TRUE(opensMenu(icon.center(), 3)) << "no menu opened on the docked icon";
  ASSERT_TRUE(chooseFromTheEnd(1));
  EXPECT_TRUE(testing::waitUntil([&] { return !program->running(); }, startLimit))
      << "Quit Vorlane did not end the program";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

// The other way: the icon docked in the XEmbed tray, then a host comes, as with both at the
// start it takes the icon (Qt's own icon, which an XEmbed start once kept from any host), and
// keeps it when the XEmbed tray goes: the menu the host reads offers what a tray allows.
TEST_F(TrayHostsScenario, AHostThatComesTakesTheIconAndKeepsItWhenTheXEmbedTrayGoes) {
  startFirstLaunch({.trayTint = darkPanel}, false);
  expectDockedWithInk();
  menu = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
  ASSERT_TRUE(menu->ready()) << "the stand-in watcher did not start";
  ASSERT_TRUE(program->waitForLine("tray: a StatusNotifier host and an XEmbed tray", startLimit))
      << program->log();
  ASSERT_TRUE(program->waitForLine("status item moved to the StatusNotifier host", startLimit))
      << program->log();
  ASSERT_TRUE(menu->waitForItem(startLimit)) << "the icon never reached the watcher";
  EXPECT_TRUE(desktop->waitUntilManaged(
      [&] { return !dockedIcon(*desktop, program->pid()).has_value(); }, startLimit))
      << "the icon stayed in trayer as well";

  desktop->stopTray();
  ASSERT_TRUE(program->waitForLine("tray: a StatusNotifier host", startLimit, 2)) << program->log();
  EXPECT_TRUE(menuOffersClickThrough()) << menu->lastLayout();
  EXPECT_EQ(program->count("status item moved"), 1u) << program->log();
  EXPECT_EQ(program->count("status item hidden"), 0u) << program->log();
  ASSERT_TRUE(menu->choose({"Preferences..."})) << menu->lastLayout();
  EXPECT_TRUE(waitForActive(preferencesTitle)) << "Preferences did not open from the menu";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

// Regression: with click-through on and the last tray gone, right-clicks on the monkey went
// to the desktop until the next visit. The monkey takes the pointer as the tray goes and its
// menu carries the status menu; the setting stays stored, and applies again as a tray comes.
TEST_F(TrayHostsScenario, ClickThroughEndsWithTheLastTrayAndComesBackWithOne) {
  startDesktop(
      {.compositor = false, .notifications = false, .sound = false, .trayTint = darkPanel});
  seedPreferences([](Preferences& p) { p.mascotClickThrough = true; });
  const QImage empty = screenshot("click-through-empty");
  launch(at("09:10:00"), 1);
  ASSERT_TRUE(program->waitForLine(shownInTheTray, startLimit)) << program->log();
  QPoint monkey;
  ASSERT_TRUE(testing::waitUntil(
      [&] {
        return !(monkey = characterAt(empty, screenshot("click-through-resting"), column)).isNull();
      },
      startLimit))
      << "no character in the column";
  monkey = characterAt(empty, settled("click-through-resting", column), column);
  ASSERT_FALSE(monkey.isNull());
  const std::string moveThere =
      "xdotool mousemove " + std::to_string(monkey.x()) + " " + std::to_string(monkey.y());
  ASSERT_TRUE(desktop->shell(moveThere));
  EXPECT_FALSE(pointerOverProgram()) << "click-through with a tray: the pointer goes by";

  desktop->stopTray();
  ASSERT_TRUE(program->waitForLine("tray: none", startLimit)) << program->log();
  // Within a few seconds of the tray's going, not at the next visit.
  EXPECT_TRUE(
      testing::waitUntil([&] { return desktop->shell(moveThere) && pointerOverProgram(); }, 10s))
      << "the monkey did not take the pointer";
  ASSERT_TRUE(opensMenu(monkey, 3)) << "no menu opened on the monkey";
  ASSERT_TRUE(chooseFromTheEnd(3));
  EXPECT_TRUE(waitForActive(preferencesTitle)) << "Preferences did not open from its menu";
  FileRecordStore records(home.path() / ".config/vorlane");
  EXPECT_TRUE(RecordPreferencesStore(records).preferences().mascotClickThrough)
      << "the stored setting was rewritten";

  ASSERT_TRUE(desktop->startTray()) << desktop->failure();
  EXPECT_TRUE(
      testing::waitUntil([&] { return desktop->shell(moveThere) && !pointerOverProgram(); }, 30s))
      << "click-through did not come back with the tray";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
