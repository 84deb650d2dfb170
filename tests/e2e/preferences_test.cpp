// The preferences window on a whole desktop, opened from the tray's menu and worked with the
// keyboard as a user would: what its panels write reaches the settings file, the focus
// editor, the mascot, the sound server and the next hour.
#include <sstream>

#include "tests/e2e/scenario.h"
#include "tests/support/image_pixels.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {
namespace {

constexpr const char* windowTitle = "Vorlane Preferences";
// What the program logs as its speech, synthesised or a recorded clip, begins and ends.
constexpr const char* speechStarted = "ducking other audio: true";
constexpr const char* speechEnded = "ducking other audio: false";
// The right edge of a 1280x800 screen, where the character hangs, beside the centred window.
const QRect rightOfWindow(1032, 0, 248, 800);

class PreferencesScenario : public Scenario {
 protected:
  // The desktop with a tray host that takes the icon over D-Bus, and the program on it.
  void startWithTrayHost(std::time_t start, int atSpeed,
                         const std::function<void(Preferences&)>& change = nullptr) {
    startDesktop();
    tray = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
    ASSERT_TRUE(tray->ready()) << "the stand-in watcher did not start";
    seedPreferences(change);
    launch(start, atSpeed);
    ASSERT_TRUE(tray->waitForItem(startLimit)) << "the icon never reached the tray host";
  }
  bool choose(const std::vector<std::string>& path, const std::string& window) {
    if (!tray->choose(path)) {
      ADD_FAILURE() << "no enabled entry " << path.back() << " in\n" << tray->lastLayout();
      return false;
    }
    if (waitForActive(window)) return true;
    screenshot("not-active-" + window);
    ADD_FAILURE() << "the window with the keyboard is \"" << activeWindowName() << "\"";
    return false;
  }
  // Each key of the list pressed `times` times, in order.
  bool keys(const std::string& names, int times = 1) {
    std::string all;
    for (int i = 0; i < times; ++i) all += " " + names;
    return desktop->shell("xdotool key --delay 60" + all);
  }
  bool type(const std::string& text) {
    return desktop->shell("xdotool type --delay 10 " + testing::quoted(text));
  }
  // A change drawn before a screenshot.
  void settle() { settled(); }
  // The settings as the program stored them.
  Preferences stored() const {
    FileRecordStore records(home.path() / ".config/vorlane");
    return RecordPreferencesStore(records).preferences();
  }
  bool storedSoon(const std::function<bool(const Preferences&)>& holds) const {
    return testing::waitUntil([&] { return holds(stored()); }, 30s);
  }
  // The size of the window that has the keyboard.
  QSize activeWindowSize() const {
    const auto out = testing::commandOutput(
        desktop->withEnvironment("xdotool getactivewindow getwindowgeometry --shell"));
    if (!out) return {};
    QSize size;
    std::istringstream lines(*out);
    for (std::string line; std::getline(lines, line);) {
      const auto value = [&] { return std::stoi(line.substr(line.find('=') + 1)); };
      if (line.rfind("WIDTH=", 0) == 0) size.setWidth(value());
      if (line.rfind("HEIGHT=", 0) == 0) size.setHeight(value());
    }
    return size;
  }
  // The middle of the sidebar's General row, from the window's top: the title, two group
  // headers and five rows are above it.
  static constexpr int generalRowY = 294;

  std::unique_ptr<testing::TrayMenu> tray;
};

// At real speed, so that the sound server hears the voice as spoken. The window opens with
// the sidebar taking the keys: Down walks the panels (Desktop, Appearance, Focus, Schedule &
// Quiet, Voice, General) and Tab walks a panel's controls in reading order.
TEST_F(PreferencesScenario, FocusVoiceAndCelebrationSettingsReachTheEditorTheMascotAndTheHour) {
  startWithTrayHost(at("09:58:00"), 1);
  const QImage resting = screenshot("preferences-resting");
  ASSERT_TRUE(choose({"Preferences..."}, windowTitle));
  EXPECT_EQ(activeWindowSize(), QSize(780, 660));
  settle();
  screenshot("preferences-desktop");

  // Focus: after the panel itself, the work length's "+" is the second control and the
  // celebration's preview the sixth.
  ASSERT_TRUE(keys("Down", 2));
  settle();
  screenshot("preferences-focus");
  ASSERT_TRUE(keys("Tab", 3) && keys("space"));
  EXPECT_TRUE(storedSoon([](const Preferences& p) { return p.workMinutes == 26; }))
      << "work minutes stored: " << stored().workMinutes;
  settle();
  screenshot("preferences-focus-26");
  ASSERT_TRUE(keys("Tab", 4) && keys("space"));
  // Its bubble: the light theme's near-white fill, right of the window.
  const auto bubbleFill = [](const QColor& c) {
    return c.red() >= 240 && c.green() >= 240 && c.blue() >= 240;
  };
  const int whiteBefore = pixelsWhere(resting, bubbleFill, rightOfWindow);
  EXPECT_TRUE(testing::waitUntil(
      [&] {
        return pixelsWhere(screenshot("preferences-celebration"), bubbleFill, rightOfWindow) >
               whiteBefore + 1000;
      },
      15s))
      << "no celebration on the mascot";

  // Voice: the preview is the fifth control, "Say the time out loud" the first.
  ASSERT_TRUE(keys("shift+Tab", 7) && keys("Down", 2));
  settle();
  screenshot("preferences-voice");
  const int burstsBefore = desktop->soundBursts();
  const size_t speechEnds = program->count(speechEnded);
  ASSERT_TRUE(keys("Tab", 6) && keys("space"));
  EXPECT_TRUE(testing::waitUntil([&] { return desktop->soundBursts() > burstsBefore; }, 60s))
      << "the preview never reached the null sink";
  // The whole sentence: the program says when its sound has ended.
  EXPECT_TRUE(program->waitForLine(speechEnded, 60s, speechEnds + 1)) << "the preview never ended";
  const int burstsAfterPreview = desktop->soundBursts();
  ASSERT_TRUE(keys("shift+Tab", 4) && keys("space"));
  EXPECT_TRUE(storedSoon([](const Preferences& p) { return !p.speechEnabled; }));
  settle();
  screenshot("preferences-voice-off");

  // The next hour comes, silently.
  const size_t speechStarts = program->count(speechStarted);
  ASSERT_TRUE(program->waitForLine(visitLine(at("10:00:00")), 150s)) << program->log();

  // The focus editor proposes the stored length, and starts it.
  ASSERT_TRUE(choose({"Start Pomodoro..."}, "New focus session"));
  settle();
  screenshot("preferences-focus-editor");
  ASSERT_TRUE(type("check the settings") && keys("Return"));
  EXPECT_TRUE(program->waitForLine("started a 26 minute session", 60s));
  EXPECT_EQ(program->count(" fault: "), 0u);
  // Speech begins with the visit, in the same turn, so by the session's line the hour
  // would have begun to sound.
  EXPECT_EQ(program->count("speaking: It's ten"), 0u);
  EXPECT_EQ(program->count(speechStarted), speechStarts) << "the hour began to sound";
  EXPECT_EQ(desktop->soundBursts(), burstsAfterPreview) << "the hour was heard";
}

// A window class typed into the quiet apps, its program then in front: the next hour comes
// as a silent notification instead of a visit.
TEST_F(PreferencesScenario, AnAddedQuietAppInFrontTurnsTheHourIntoANotification) {
  // No apps listed yet, so that the class field follows the two boxes.
  startWithTrayHost(at("09:45:00"), 30, [](Preferences& p) { p.blockedAppIDs.clear(); });
  ASSERT_TRUE(choose({"Preferences..."}, windowTitle));
  // Schedule & Quiet: the class field comes after the panel, two hour pickers and two boxes.
  ASSERT_TRUE(keys("Down", 3));
  settle();
  screenshot("preferences-quiet");
  ASSERT_TRUE(keys("Tab", 6) && type("Xmessage") && keys("Return"));
  EXPECT_TRUE(
      storedSoon([](const Preferences& p) { return p.blockedAppIDs.contains("Xmessage"); }));
  settle();
  screenshot("preferences-quiet-added");
  ASSERT_LT(program->fakeNow(), at("09:59:00")) << "too slow to reach the hour in time";

  testing::ChildProcess other({"xmessage", "-title", "QuietOther", "Another program"}, false,
                              desktop->environment());
  ASSERT_TRUE(testing::waitUntil([&] { return desktop->shell("wmctrl -l | grep -q QuietOther"); }));
  ASSERT_TRUE(desktop->shell("wmctrl -a QuietOther"));
  ASSERT_TRUE(program->waitForLine("suppressed visit scheduled for " +
                                       describeDate(Date::fromUnix(double(at("10:00:00")))) +
                                       ": presenting in Xmessage",
                                   program->real(20 * 60) + 30s))
      << program->log();
  EXPECT_TRUE(testing::waitUntil([&] { return desktop->notificationsSent() == 1; }))
      << desktop->notificationBodies();
  EXPECT_EQ(program->count(visitLine(at("10:00:00"))), 0u);

  // The mascot menu's Appearance entry brings the same window back on its own panel; the
  // sidebar's General row is a click away.
  ASSERT_TRUE(choose({"Appearance…"}, windowTitle));
  EXPECT_EQ(activeWindowSize(), QSize(780, 660));
  settle();
  const QImage appearance = screenshot("preferences-appearance");
  ASSERT_TRUE(desktop->shell("xdotool getactivewindow mousemove --window %1 60 " +
                             std::to_string(generalRowY) + " click 1"));
  settle();
  const QImage general = screenshot("preferences-general");
  // Another panel's title in the header of the centred window.
  EXPECT_GT(changedPixels(appearance, general, QRect(440, 100, 590, 80)), 200)
      << "the General row did not change the panel";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
