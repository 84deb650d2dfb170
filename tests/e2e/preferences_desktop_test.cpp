// The preferences window on a whole desktop, opened from the tray's menu: the Desktop page's
// "Center" moves the mascot's column to the middle of the screen, and the General page's
// "Launch at login" writes and removes the autostart entry.
#include <QRect>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/e2e/red_pixels.h"
#include "tests/e2e/stand_in_tray_scenario.h"

namespace vorlane::e2e {
namespace {

constexpr const char* windowTitle = "Vorlane Preferences";
// On a 1280x800 screen the 340-wide column hangs at the right edge, or from x 470 when
// centred.
const QRect rightColumn(940, 0, 340, 800);
const QRect middleColumn(470, 0, 340, 800);
// Where the controls sit inside the 780x660 window (its own coordinates).
const QPoint desktopRow(54, 104);
const QPoint generalRow(54, 294);
const QPoint centerButton(355, 472);
const QPoint launchAtLoginToggle(236, 167);

class DesktopPanelScenario : public StandInTrayScenario {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(startWithTray("preferences-empty")); }
  bool openPreferences() {
    if (!tray->choose({"Preferences..."})) {
      ADD_FAILURE() << "no enabled entry Preferences... in\n" << tray->lastLayout();
      return false;
    }
    return waitForActive(windowTitle);
  }
  Preferences stored() const {
    FileRecordStore records(home.path() / ".config/vorlane");
    return RecordPreferencesStore(records).preferences();
  }
  std::filesystem::path autostartEntry() const {
    return home.path() / ".config/autostart/com.corvantis.vorlane.desktop";
  }
};

TEST_F(DesktopPanelScenario, LaunchAtLoginWritesTheAutostartEntryAndUntickingRemovesIt) {
  ASSERT_TRUE(openPreferences());
  ASSERT_TRUE(click(generalRow));
  screenshot("preferences-general");
  ASSERT_FALSE(std::filesystem::exists(autostartEntry()));

  ASSERT_TRUE(click(launchAtLoginToggle));
  ASSERT_TRUE(program->waitForLine("launch at login set to true", 30s));
  EXPECT_TRUE(stored().launchAtLogin);
  ASSERT_TRUE(std::filesystem::exists(autostartEntry()));
  std::ifstream file(autostartEntry());
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find("[Desktop Entry]"), std::string::npos);
  EXPECT_NE(text.str().find("Exec="), std::string::npos);
  screenshot("preferences-launch-at-login");

  ASSERT_TRUE(click(launchAtLoginToggle));
  ASSERT_TRUE(program->waitForLine("launch at login set to false", 30s));
  EXPECT_FALSE(stored().launchAtLogin);
  EXPECT_FALSE(std::filesystem::exists(autostartEntry()));
  EXPECT_EQ(program->count("launch at login failed"), 0u);
}

TEST_F(DesktopPanelScenario, CenterMovesTheColumnToTheMiddleOfTheScreen) {
  // The character has come down its rope and hangs still.
  ASSERT_TRUE(testing::waitUntil(
      [&] { return changedPixels(empty, screenshot("preferences-resting"), rightColumn) > 500; },
      30s))
      << "no mascot at the right edge";
  const QImage resting = settled("preferences-resting", rightColumn);
  const int restingRight = changedPixels(empty, resting, rightColumn);
  ASSERT_GT(restingRight, 500) << "no mascot at the right edge";

  ASSERT_TRUE(openPreferences());
  ASSERT_TRUE(click(desktopRow));
  screenshot("preferences-desktop");
  ASSERT_TRUE(click(centerButton));
  ASSERT_TRUE(testing::waitUntil([&] { return !stored().mascotPlacements.empty(); }, 60s))
      << "no placement stored";
  const auto placements = stored().mascotPlacements;
  ASSERT_EQ(placements.size(), 1u) << "one entry, for the one display";
  EXPECT_EQ(placements.begin()->second, MascotPlacement(0.5, 0.0));

  // Closed, so the middle of the screen shows.
  ASSERT_TRUE(closeWithKeys(windowTitle));
  QImage centred;
  // Until it has moved, or for long enough that it never will.
  (void)testing::waitUntil(
      [&] {
        centred = screenshot("preferences-centred");
        return changedPixels(empty, centred, middleColumn) > 500 &&
               changedPixels(empty, centred, rightColumn) < restingRight / 4;
      },
      30s);
  EXPECT_GT(changedPixels(empty, centred, middleColumn), 500) << "no mascot in the middle";
  EXPECT_LT(changedPixels(empty, centred, rightColumn), restingRight / 4)
      << "still at the right edge";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

// A file where the autostart folder should be: the entry cannot be written, the page says
// so in red, and the setting stays as the user set it.
TEST_F(DesktopPanelScenario, AnAutostartFolderThatCannotBeMadeIsReportedOnThePage) {
  std::ofstream(home.path() / ".config/autostart") << "not a folder";
  ASSERT_TRUE(openPreferences());
  ASSERT_TRUE(click(generalRow));
  const QImage before = screenshot("preferences-general-before");
  ASSERT_TRUE(click(launchAtLoginToggle));
  ASSERT_TRUE(program->waitForLine("launch at login failed", 30s));
  const QImage after =
      turnedRed(before, 100, [&] { return screenshot("preferences-launch-at-login-failed"); });
  EXPECT_GT(redPixels(after), redPixels(before) + 100) << "no red reason on the page";
  EXPECT_TRUE(stored().launchAtLogin);
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
