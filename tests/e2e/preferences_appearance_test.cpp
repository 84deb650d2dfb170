// The Appearance page on a whole desktop, opened from the mascot's own entry in the tray's
// menu: its live preview shows, and the monkey's opacity taken to 0 with the keyboard clears
// the character from its column on the desktop and is stored as 0.
#include <thread>

#include "tests/e2e/scenario.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {
namespace {

// The right edge of a 1280x800 screen, where the character hangs, right of the centred
// 780-pixel preferences window.
const QRect column(1040, 0, 240, 800);
constexpr const char* preferencesTitle = "Vorlane Preferences";

// Rows of `area` where at least `wide` pixels differ between two screenshots: the character
// is far wider than its rope, so rows this wide are the character's.
int wideRows(const QImage& before, const QImage& after, QRect area, int wide) {
  int rows = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    int changed = 0;
    for (int x = area.left(); x <= area.right(); ++x)
      changed += before.pixel(x, y) != after.pixel(x, y);
    rows += changed >= wide;
  }
  return rows;
}

Preferences stored(const std::filesystem::path& home) {
  FileRecordStore records(home / ".config/vorlane");
  return RecordPreferencesStore(records).preferences();
}

class AppearanceScenario : public Scenario {
 protected:
  bool key(const std::string& name) { return desktop->shell("xdotool key " + name); }
  // A change drawn before the next step.
  void settle() { settled(); }
};

TEST_F(AppearanceScenario, TheMonkeysOpacityAtZeroByKeyboardClearsItFromTheDesktop) {
  startDesktop();
  testing::TrayMenu tray(*desktop, VORLANE_FAKE_STATUS_WATCHER);
  ASSERT_TRUE(tray.ready()) << "the stand-in watcher did not start";
  seedPreferences();
  const QImage empty = screenshot("appearance-empty");
  launch(at("09:10:00"));
  ASSERT_TRUE(tray.waitForItem(startLimit)) << "the icon never reached the tray host";

  QImage peeking;
  ASSERT_TRUE(testing::waitUntil(
      [&] {
        peeking = screenshot("appearance-peeking");
        return wideRows(empty, peeking, column, 12) > 20;
      },
      30s))
      << "no character in the column";

  ASSERT_TRUE(tray.choose({"Mascot", "Appearance…"})) << tray.lastLayout();
  ASSERT_TRUE(waitForActive(preferencesTitle));
  settle();
  // The keyboard starts in the sidebar on Appearance; then come the page's scroll area, the
  // preview's disclosure and the monkey's opacity.
  ASSERT_TRUE(key("Tab") && key("Tab") && key("space"));
  settle();
  const QImage preview = screenshot("appearance-preview");
  EXPECT_GT(changedPixels(peeking, preview, QRect(0, 0, 1280, 800)), 20000)
      << "no window with a preview";
  ASSERT_TRUE(key("Tab") && key("Home"));
  ASSERT_TRUE(testing::waitUntil(
      [&] { return stored(home.path()).mascotAppearance.monkeyOpacity == 0; }, 60s))
      << "the record does not hold 0";
  const MascotAppearance appearance = stored(home.path()).mascotAppearance;
  EXPECT_EQ(appearance, (MascotAppearance{.monkeyOpacity = 0})) << "only the monkey changed";

  // The column holds the rope and no character.
  QImage cleared;
  EXPECT_TRUE(testing::waitUntil(
      [&] {
        cleared = screenshot("appearance-cleared");
        return wideRows(empty, cleared, column, 12) == 0;
      },
      60s))
      << wideRows(empty, cleared, column, 12) << " rows of the character remain";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
