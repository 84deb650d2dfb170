// The icon docked in trayer takes an ink that stands out on the panel, wherever the panel
// lies: at the top left, or at the top right where the mascot's column stands over it (a
// window as tall as the screen, drawn only where the monkey is), on dark and light panels,
// with and without a compositor. A menu of ours opened over the icon, while the program
// looks at the panel again just after docking, leaves the ink as the panel has it: the
// panel is not read under the menu, and it is read once the menu has closed. An icon that
// docks under a window of ours takes the panel's ink once the window has moved away.
#include <unistd.h>
#include <xcb/xcb.h>

#include <QColor>
#include <chrono>
#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>

#include "tests/e2e/program_windows.h"
#include "tests/e2e/scenario.h"
#include "tests/support/image_pixels.h"

namespace vorlane::e2e {
namespace {

const QColor lightInk(0xf2, 0xf2, 0xf2);
const QColor darkInk(0x26, 0x26, 0x26);

struct PanelCase {
  const char* name;
  const char* align;
  const char* tint;
  bool compositor;
  // The ink that stands out on that panel.
  QColor ink;
};

void PrintTo(const PanelCase& panel, std::ostream* out) { *out << panel.name; }

class TrayInkScenario : public Scenario, public ::testing::WithParamInterface<PanelCase> {
 protected:
  QColor otherInk() const { return GetParam().ink == lightInk ? darkInk : lightInk; }
  int inked(const QRect& icon, const std::string& name) {
    return inkedPixels(screenshot(std::string("tray-ink-") + GetParam().name + "-" + name),
                       GetParam().ink, icon);
  }
};

TEST_P(TrayInkScenario, TheIconStandsOutOnThePanelAndAMenuOverItLeavesItSo) {
  const PanelCase& panel = GetParam();
  startDesktop({.compositor = panel.compositor,
                .notifications = false,
                .sound = false,
                .trayTint = panel.tint,
                .trayAlign = panel.align});
  seedPreferences();
  launch(at("09:10:00"), 1);
  std::optional<QRect> icon;
  ASSERT_TRUE(desktop->waitUntilManaged(
      [&] { return (icon = dockedIcon(*desktop, program->pid())).has_value(); }, startLimit))
      << "no icon docked in trayer";
  const auto docked = std::chrono::steady_clock::now();
  const bool atTheRight = std::string_view(panel.align) == "right";
  EXPECT_EQ(icon->right() > 1280 - 100, atTheRight) << "the icon at " << icon->x();

  // At once, so that the program's second look at the panel (two seconds after it showed
  // the icon) comes while the menu, light on any panel, covers the icon.
  // A click that comes before the tray has shown the icon opens nothing: clicked again.
  const std::string clickTheIcon = "xdotool mousemove " + std::to_string(icon->center().x()) + " " +
                                   std::to_string(icon->center().y()) + " click 1";
  std::vector<OpenMenu> open;
  for (int click = 0; click < 30 && open.empty(); ++click) {
    ASSERT_TRUE(desktop->shell(clickTheIcon));
    testing::waitUntil([&] { return !(open = openMenus(*desktop, program->pid())).empty(); }, 1s);
  }
  ASSERT_FALSE(open.empty()) << "no menu opened at the icon";
  // The first look at a panel that has just shown the icon may come before a loaded
  // compositor has drawn the panel; the second look, two seconds on, mends that ink. From
  // the menu on, the other ink may come only from the menu's own colours.
  const std::string other = "status item ink " + otherInk().name().toStdString();
  const std::size_t otherBeforeTheMenu = program->count(other);
  EXPECT_TRUE(open.front().area.intersects(*icon)) << "the menu is not over the icon";
  std::this_thread::sleep_until(docked + 4s);
  ASSERT_TRUE(desktop->shell("xdotool key Escape"));
  ASSERT_TRUE(testing::waitUntil([&] { return openMenus(*desktop, program->pid()).empty(); }, 30s))
      << "the menu did not close";

  // Within a few seconds; the program looks again only every 30 s otherwise.
  const std::string ink = panel.ink.name().toStdString();
  EXPECT_TRUE(testing::waitUntil(
      [&] { return program->count("status item ink " + ink) > 0 && inked(*icon, "shown") > 0; },
      10s))
      << "the icon at " << icon->x() << "," << icon->y() << " shows no " << ink << " ink";
  sleep(3);
  EXPECT_GT(inked(*icon, "later"), 0) << "the ink did not stay";
  EXPECT_EQ(program->count(other), otherBeforeTheMenu) << "the ink was read off the menu";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Panels, TrayInkScenario,
    ::testing::Values(PanelCase{"TopRightDark", "right", "0x202020", false, lightInk},
                      PanelCase{"TopRightDarkComposited", "right", "0x202020", true, lightInk},
                      PanelCase{"TopRightLightComposited", "right", "0xe8e8e8", true, darkInk},
                      PanelCase{"TopLeftLight", "left", "0xe8e8e8", false, darkInk}),
    [](const ::testing::TestParamInfo<PanelCase>& info) { return std::string(info.param.name); });

// The icon docks under a window of ours: the quick actions window, moved into the corner of
// the screen before trayer's panel comes there. Every look at the panel while the window is
// over the icon (as the icon shows, half a second and two seconds on) finds it hidden; the
// window moved away, the ink that stands out on the panel comes within a few seconds, from
// the look that the window's moving asks for, and stays: the icon, which took the window over
// it for the panel as it docked, shows the panel again. The program looks again anyway at
// each half minute of its clock, as its tick refreshes the icon: the window moves just after
// one, so that the next comes only after the ink was due.
class CoveredIconScenario : public TrayInkScenario {
 protected:
  // The ink the program drew the icon in last; empty before the first.
  std::string lastInk() const {
    const std::string log = program->log();
    const std::string line = "status item ink #";
    const auto at = log.rfind(line);
    return at == std::string::npos ? std::string() : log.substr(at + line.size() - 1, 7);
  }
};

TEST_P(CoveredIconScenario, TheIconDockedUnderOurWindowTakesThePanelsInkOnceTheWindowMovesAway) {
  const PanelCase& panel = GetParam();
  startDesktop({.compositor = panel.compositor,
                .tray = false,
                .notifications = false,
                .sound = false,
                .trayTint = panel.tint,
                .trayAlign = panel.align});
  seedPreferences();
  launch(at("09:10:00"), 1);
  ASSERT_TRUE(program->waitForLine("tray: none", startLimit)) << program->log();
  ASSERT_TRUE(program->waitForLine("hotkey registered with identifier 2", startLimit));
  ASSERT_TRUE(desktop->shell("xdotool key ctrl+alt+space"));
  ASSERT_TRUE(waitForActive(quickCommandTitle));
  const auto id = testing::commandOutput(desktop->withEnvironment("xdotool getactivewindow"));
  ASSERT_TRUE(id.has_value());
  const auto window = xcb_window_t(std::stoul(*id));
  const auto windowArea = [&] {
    testing::X11Peer x(desktop->display().c_str());
    return areaOf(x, window);
  };
  // The window itself (static gravity), not its frame, into the top left corner, where
  // trayer's panel comes.
  const auto moveTo = [&](QPoint to) {
    return desktop->shell("wmctrl -i -r " + std::to_string(window) + " -e 10," +
                          std::to_string(to.x()) + "," + std::to_string(to.y()) + ",-1,-1");
  };
  ASSERT_TRUE(moveTo({0, 0}));
  ASSERT_TRUE(testing::waitUntil([&] { return windowArea().topLeft() == QPoint(0, 0); }, 30s))
      << "the window stayed at " << windowArea().x() << "," << windowArea().y();

  ASSERT_TRUE(desktop->startTray()) << desktop->failure();
  std::optional<QRect> icon;
  ASSERT_TRUE(desktop->waitUntilManaged(
      [&] { return (icon = dockedIcon(*desktop, program->pid())).has_value(); }, startLimit))
      << "no icon docked in trayer";
  const auto docked = std::chrono::steady_clock::now();
  ASSERT_TRUE(windowArea().contains(*icon)) << "the icon at " << icon->x() << "," << icon->y();
  std::this_thread::sleep_until(docked + 4s);
  EXPECT_GE(program->count("status item ink kept: the panel is hidden"), 1u);
  // A look at the icon before the tray has placed it on the panel reads the black desktop:
  // on a light panel, the ink that stands out there can come from no look so far.
  const std::string ink = panel.ink.name().toStdString();
  if (panel.ink == darkInk) {
    ASSERT_NE(lastInk(), ink) << "the panel was read under the window";
  }

  if (const auto sinceTick = program->fakeNow() % 30; sinceTick > 5) {
    sleep(unsigned(31 - sinceTick));
  }
  ASSERT_TRUE(moveTo({400, 300}));
  EXPECT_TRUE(
      testing::waitUntil([&] { return lastInk() == ink && inked(*icon, "shown") > 0; }, 15s))
      << "the icon at " << icon->x() << "," << icon->y() << " shows no " << ink << " ink";
  sleep(3);
  EXPECT_EQ(lastInk(), ink) << "the ink did not stay";
  EXPECT_GT(inked(*icon, "later"), 0) << "the ink did not stay";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Panels, CoveredIconScenario,
    ::testing::Values(PanelCase{"CoveredTopLeftDark", "left", "0x202020", false, lightInk},
                      PanelCase{"CoveredTopLeftLight", "left", "0xe8e8e8", false, darkInk}),
    [](const ::testing::TestParamInfo<PanelCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlane::e2e
