// The reminder editor and the focus session editor on a whole desktop, opened as the user
// opens them: from the tray's menu (clicked over D-Bus, as a tray host clicks it) and from the
// mascot's Focus pill. What is typed there reaches the reminders file, the visits and the
// session, and what is refused or cancelled changes nothing.
#include <algorithm>

#include "core/reminders/reminder.h"
#include "platform/persistence/file_reminder_store.h"
#include "tests/e2e/changed_bands.h"
#include "tests/e2e/red_pixels.h"
#include "tests/e2e/scenario.h"
#include "tests/e2e/sign_rows.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {
namespace {

// A faked hour passes in a real minute: typing takes a few faked minutes, a 40-minute
// countdown under a real minute.
constexpr int editingSpeed = 60;
constexpr int focusSpeed = 6;
// The right edge of a 1280x800 screen, where the character hangs, and the part of it left of
// the character, where its pills come.
const QRect column(940, 0, 340, 800);
const QRect pillArea(944, 0, 212, 800);

class EditorScenario : public Scenario {
 protected:
  // The desktop with a tray host that takes the icon over D-Bus, and the program on it.
  void startWithTrayHost(std::time_t start, int speed) {
    startDesktop();
    tray = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
    ASSERT_TRUE(tray->ready()) << "the stand-in watcher did not start";
    seedPreferences();
    empty = screenshot("editors-empty");
    launch(start, speed);
    ASSERT_TRUE(tray->waitForItem(startLimit)) << "the icon never reached the tray host";
  }
  bool choose(const std::vector<std::string>& path, const std::string& window) {
    if (!tray->choose(path)) {
      ADD_FAILURE() << "no enabled entry " << path.back() << " in\n" << tray->lastLayout();
      return false;
    }
    return waitForActive(window);
  }
  bool closes(const std::string& window) { return waitForInactive(window); }
  bool type(const std::string& text) {
    return desktop->shell("xdotool type --delay 10 " + testing::quoted(text));
  }
  bool key(const std::string& name) { return desktop->shell("xdotool key " + name); }
  // What was typed drawn before a screenshot.
  void settle() { settled(); }
  std::vector<Reminder> stored() const {
    return FileReminderStore(program->remindersFile()).reminders();
  }

  std::unique_ptr<testing::TrayMenu> tray;
  QImage empty;
};

TEST_F(EditorScenario, RemindersAddedAndEditedFromTheTrayComeAtTheirMinute) {
  startWithTrayHost(at("09:10:00"), editingSpeed);

  // Two in a row: the window stays open, naming each.
  ASSERT_TRUE(choose({"Add reminder..."}, "Add reminder"));
  ASSERT_TRUE(type("in 10m water the plants") && key("Return"));
  ASSERT_TRUE(program->waitForLine("added reminder: water the plants", 30s));
  ASSERT_TRUE(type("in 25m stretch") && key("Return"));
  ASSERT_TRUE(program->waitForLine("added reminder: stretch", 30s));
  settle();  // the confirmation drawn
  const QImage added = screenshot("reminder-added");
  EXPECT_EQ(activeWindowName(), "Add reminder") << "open for the next reminder";
  const auto find = [&](const std::string& phrase) {
    const auto all = stored();
    const auto it =
        std::find_if(all.begin(), all.end(), [&](const Reminder& r) { return r.phrase == phrase; });
    if (it == all.end()) throw std::runtime_error("no stored reminder " + phrase);
    return *it;
  };
  ASSERT_EQ(stored().size(), 2u);
  const Reminder plants = find("water the plants");
  const Reminder stretch = find("stretch");
  EXPECT_EQ(plants.trigger, VisitTrigger::countdown(10 * 60));
  EXPECT_EQ(stretch.trigger, VisitTrigger::countdown(25 * 60));

  // A time alone is refused in red, and nothing more is stored.
  ASSERT_TRUE(type("4pm") && key("Return"));
  const QImage refused = turnedRed(added, 30, [&] { return screenshot("reminder-refused"); });
  EXPECT_GT(redPixels(refused), redPixels(added) + 30) << "no red refusal on screen";
  EXPECT_EQ(stored().size(), 2u);
  EXPECT_EQ(program->count("added reminder"), 2u);
  ASSERT_TRUE(key("Escape") && closes("Add reminder"));

  // Rescheduled from its own menu entry: the window closes, and the visit comes at the new
  // minute, not the old one.
  ASSERT_TRUE(choose({"\u2068stretch\u2069 - *", "Edit..."}, "Edit reminder"));
  settle();
  screenshot("reminder-edit");
  ASSERT_TRUE(key("Tab") && type("in 40m") && key("Return"));
  ASSERT_TRUE(program->waitForLine("updated reminder: stretch", 30s));
  EXPECT_TRUE(closes("Edit reminder"));
  ASSERT_EQ(stored().size(), 2u);
  const Reminder edited = find("stretch");
  EXPECT_EQ(edited.id, stretch.id);
  EXPECT_EQ(edited.trigger, VisitTrigger::countdown(40 * 60));
  EXPECT_EQ(find("water the plants"), plants);

  const auto visitAt = [](Date when) {
    return "performing visit scheduled for " + describeDate(when);
  };
  ASSERT_TRUE(
      program->waitForLine(visitAt(edited.createdAt + 40 * 60), program->real(45 * 60) + 30s))
      << "no visit at the new minute";
  EXPECT_EQ(program->count(visitAt(plants.createdAt + 10 * 60)), 1u);
  EXPECT_EQ(program->count(visitAt(stretch.createdAt + 25 * 60)), 0u) << "the old minute is gone";
  // Spoken as the visit begins, a moment after its line.
  EXPECT_TRUE(program->waitForLine("speaking: stretch", 30s));
  EXPECT_EQ(program->count("speaking: water the plants"), 1u);
  EXPECT_EQ(program->count("speaking: stretch"), 1u);
  EXPECT_EQ(program->count(" fault: "), 0u);
}

TEST_F(EditorScenario, TheFocusPillStartsANamedFocusAndCancelledEditorsStartNothing) {
  startWithTrayHost(at("09:10:00"), focusSpeed);

  // Cancelled, neither editor the tray opens starts anything.
  const std::pair<const char*, const char*> entries[] = {
      {"Start Pomodoro...", "New focus session"}, {"Just five minutes…", "Just five minutes"}};
  for (const auto& [entry, title] : entries) {
    SCOPED_TRACE(entry);
    ASSERT_TRUE(choose({entry}, title));
    ASSERT_TRUE(type("open the draft"));
    settle();
    screenshot(std::string("cancelled-") + title);
    ASSERT_TRUE(key("Escape") && closes(title));
  }

  // Hovering the character brings its pills, one under the other; Focus is the second.
  const QImage resting = screenshot("pill-resting");
  const auto character = changedBands(empty, resting, column, 12);
  ASSERT_FALSE(character.empty()) << "no mascot in the column";
  const QPoint over = character.front();
  std::vector<QPoint> pills;
  ASSERT_TRUE(desktop->shell("xdotool mousemove " + std::to_string(over.x()) + " " +
                             std::to_string(over.y())));
  testing::waitUntil(
      [&] {
        pills = changedBands(resting, screenshot("pill-hovered"), pillArea, 6);
        return pills.size() >= 3;
      },
      60s);
  ASSERT_GE(pills.size(), 3u) << "no pills beside the character";
  ASSERT_TRUE(desktop->shell("xdotool mousemove " + std::to_string(pills[1].x()) + " " +
                             std::to_string(pills[1].y()) + " click 1"));
  ASSERT_TRUE(program->waitForLine("quick action: startPomodoro", 30s)) << "not the Focus pill";
  ASSERT_TRUE(waitForActive("New focus session"));
  EXPECT_EQ(program->count("started a"), 0u) << "the cancelled editors started nothing";
  ASSERT_TRUE(type("  write   the report "));
  settle();
  screenshot("focus-editor");
  ASSERT_TRUE(key("Return"));
  ASSERT_TRUE(program->waitForLine("started a 25 minute session", 60s));
  EXPECT_TRUE(closes("New focus session"));

  // The sign with the countdown goes up beside the character.
  ASSERT_TRUE(desktop->shell("xdotool mousemove 200 600"));
  const std::time_t started = program->fakeNow();
  testing::waitUntil([&] { return program->fakeNow() >= started + 20; }, 60s);
  EXPECT_TRUE(
      testing::waitUntil([&] { return signRows(empty, screenshot("focus-sign"), column) >= 10; },
                         program->real(30) + 30s))
      << "no sign on the mascot";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
