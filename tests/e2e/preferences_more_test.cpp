// More of the Appearance and Desktop pages on a whole desktop: a rope colour typed into the
// colour chooser paints the rope on the desktop and is stored; a click-through mascot lets a
// pull go by and unticking brings the pull back; "Show current time" puts up the floating
// clock.
#include <QColor>
#include <QRect>
#include <cmath>

#include "tests/e2e/stand_in_tray_scenario.h"

namespace vorlane::e2e {
namespace {

constexpr const char* preferencesTitle = "Vorlane Preferences";
// The right edge of a 1280x800 screen, where the character hangs, right of the centred
// 780-pixel preferences window.
const QRect column(1040, 0, 240, 800);
// Where the controls sit inside the 780x660 window (its own coordinates).
const QPoint desktopRow(54, 104);

// Pixels of `area` in a plain green, which nothing of the desktop or the mascot shows until
// the rope is given one.
int greenPixels(const QImage& image, QRect area) {
  int count = 0;
  area = area.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c(image.pixel(x, y));
      count += c.green() > 140 && c.red() < 90 && c.blue() < 90;
    }
  }
  return count;
}

// The middle of the widest run of changed rows in `area`: the character's body, which is far
// wider than its rope. Null when nothing that wide changed.
QPoint characterCentre(const QImage& before, const QImage& after, QRect area) {
  int top = -1, bottom = -1;
  long sumX = 0, count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    int changed = 0;
    long rowX = 0;
    for (int x = area.left(); x <= area.right(); ++x) {
      if (before.pixel(x, y) != after.pixel(x, y)) {
        ++changed;
        rowX += x;
      }
    }
    if (changed < 12) continue;
    if (top < 0) top = y;
    bottom = y;
    sumX += rowX;
    count += changed;
  }
  if (top < 0 || count == 0) return {};
  return {int(sumX / count), (top + bottom) / 2};
}

class MorePreferencesScenario : public StandInTrayScenario {
 protected:
  // At real speed, so that no visit of the hour comes between the steps.
  void start() {
    ASSERT_NO_FATAL_FAILURE(startWithTray("more-empty"));
    ASSERT_TRUE(testing::waitUntil(
        [&] {
          resting = screenshot("more-resting");
          return !characterCentre(empty, resting, column).isNull();
        },
        30s))
        << "no character in the column";
    resting = settled("more-resting", column);  // down its rope and still
  }
  bool key(const std::string& name) { return desktop->shell("xdotool key " + name); }
  // A change drawn before the next step.
  void settle() { settled(); }
  bool openPreferences(const std::vector<std::string>& entry) {
    if (!tray->choose(entry)) {
      ADD_FAILURE() << "no enabled entry in\n" << tray->lastLayout();
      return false;
    }
    return waitForActive(preferencesTitle);
  }
  bool raisePreferences() {
    return desktop->shell("xdotool search --onlyvisible --name " +
                          testing::quoted(preferencesTitle) + " windowactivate --sync") &&
           waitForActive(preferencesTitle);
  }
  Preferences stored() const {
    FileRecordStore records(home.path() / ".config/vorlane");
    return RecordPreferencesStore(records).preferences();
  }

  QImage resting;
};

TEST_F(MorePreferencesScenario, ARopeColourTypedInTheChooserPaintsTheRopeAndIsStored) {
  start();
  ASSERT_EQ(greenPixels(resting, column), 0) << "green in the column before any colour";
  ASSERT_TRUE(openPreferences({"Mascot", "Appearance…"}));
  settle();
  // From the sidebar: the page's scroll area, the preview's disclosure, the three opacities,
  // the fur's well and the rope's.
  for (int i = 0; i < 7; ++i) ASSERT_TRUE(key("Tab"));
  screenshot("more-rope-well");
  ASSERT_TRUE(key("space"));
  ASSERT_TRUE(waitForActive("Rope"))
      << "no colour chooser for the rope, the keyboard is in " << activeWindowName();
  settle();
  ASSERT_TRUE(key("alt+h") && key("ctrl+a"));
  ASSERT_TRUE(desktop->shell("xdotool type --delay 20 '#00c000'"));
  screenshot("more-chooser");
  ASSERT_TRUE(key("Return"));

  ASSERT_TRUE(
      testing::waitUntil([&] { return stored().mascotAppearance.ropeColor.has_value(); }, 60s))
      << "no rope colour stored";
  const MascotColor rope = *stored().mascotAppearance.ropeColor;
  EXPECT_NEAR(rope.red(), 0.0, 0.01);
  EXPECT_NEAR(rope.green(), 192.0 / 255.0, 0.01);
  EXPECT_NEAR(rope.blue(), 0.0, 0.01);
  EXPECT_EQ(stored().mascotAppearance.monkeyColor, std::nullopt) << "only the rope changed";

  QImage painted;
  EXPECT_TRUE(testing::waitUntil(
      [&] {
        painted = screenshot("more-green-rope");
        return greenPixels(painted, column) > 80;  // a 4-pixel rope, 20 rows down at least
      },
      60s))
      << greenPixels(painted, column) << " green pixels in the column";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

TEST_F(MorePreferencesScenario, AClickThroughMascotLetsAPullGoByAndUntickingBringsItBack) {
  start();
  ASSERT_TRUE(openPreferences({"Preferences..."}));
  ASSERT_TRUE(click(desktopRow));
  // From the sidebar: the page's scroll area, "Between visits" and the click-through box.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(key("Tab"));
  ASSERT_TRUE(key("space"));
  ASSERT_TRUE(testing::waitUntil([&] { return stored().mascotClickThrough; }, 30s))
      << "not stored as click-through";
  screenshot("more-click-through");

  QPoint monkey = characterCentre(empty, screenshot("more-before-pull"), column);
  ASSERT_FALSE(monkey.isNull());
  ASSERT_TRUE(pull(monkey, /*clickThrough=*/true));
  // The program has drawn what followed the pull (a pull that reached it moves the
  // character at once), and the log line would have come with it.
  settled("more-pull-ignored", column);
  EXPECT_EQ(program->count("pulled down, vorlaning"), 0u) << "the pull reached the mascot";

  ASSERT_TRUE(raisePreferences());
  ASSERT_TRUE(key("space"));  // the box keeps the keyboard
  ASSERT_TRUE(testing::waitUntil([&] { return !stored().mascotClickThrough; }, 30s))
      << "still stored as click-through";
  settle();
  monkey = characterCentre(empty, screenshot("more-before-second-pull"), column);
  ASSERT_FALSE(monkey.isNull());
  ASSERT_TRUE(pull(monkey));
  EXPECT_TRUE(program->waitForLine("pulled down, vorlaning", 30s)) << "the pull went by";
  screenshot("more-pulled");
  EXPECT_EQ(program->count(" fault: "), 0u);
}

TEST_F(MorePreferencesScenario, ShowCurrentTimePutsUpTheFloatingClock) {
  start();
  ASSERT_TRUE(openPreferences({"Preferences..."}));
  ASSERT_TRUE(click(desktopRow));
  const int windows = visibleWindows();
  const QImage before = screenshot("more-desktop-page");
  // Back from the sidebar, the keyboard wraps to the page's last control: the clock's box.
  ASSERT_TRUE(key("shift+Tab"));
  screenshot("more-current-time-box");
  ASSERT_TRUE(key("space"));
  ASSERT_TRUE(testing::waitUntil([&] { return stored().showCurrentTime; }, 30s))
      << "not stored as shown";
  EXPECT_TRUE(testing::waitUntil([&] { return visibleWindows() == windows + 1; }, 30s))
      << visibleWindows() << " windows, " << windows << " before";
  settle();
  const QImage shown = screenshot("more-clock");
  // The clock sits at the bottom right corner, under the mascot's column.
  EXPECT_GT(changedPixels(before, shown, QRect(1040, 640, 240, 160)), 300) << "no clock drawn";

  ASSERT_TRUE(key("space"));
  ASSERT_TRUE(testing::waitUntil([&] { return !stored().showCurrentTime; }, 30s));
  EXPECT_TRUE(testing::waitUntil([&] { return visibleWindows() == windows; }, 30s))
      << "the clock stayed";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
