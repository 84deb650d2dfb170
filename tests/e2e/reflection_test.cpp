// The weekly reflection on a whole desktop, opened from the tray's menu as a tray host opens
// it, over a focus history seeded across two weeks of the scenario's zone: this week (the one
// of the spring clock change) and last week are totalled apart, and looking writes nothing.
#include <filesystem>
#include <thread>

#include "platform/persistence/file_record_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "tests/e2e/scenario.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {
namespace {

FocusHistoryEntry finished(const std::string& goal, double minutes, const std::string& date,
                           const std::string& localTime) {
  const Date when = Date::fromUnix(double(atOn(date, localTime)));
  return {UUID::random(), goal, minutes * 60, when, std::nullopt, std::nullopt};
}

class ReflectionScenario : public Scenario {
 protected:
  // Newest first, as the history keeps them. The scenario's day is Sunday 29 March, the first
  // day of the week in the program's locale; its 01:30 comes before the clocks go forward.
  void seedHistory() {
    FileRecordStore records(home.path() / ".config/vorlane");
    RecordFocusHistoryStore history(&records);
    history.document().save({
        finished("plan the week", 25, "2026-03-29", "08:30:00"),
        finished("night notes", 30, "2026-03-29", "01:30:00"),
        finished("late tidy", 15, "2026-03-28", "23:30:00"),
        finished("report", 50, "2026-03-25", "14:00:00"),
        finished("inbox", 25, "2026-03-23", "10:00:00"),
        finished("long ago", 60, "2026-03-21", "22:00:00"),
    });
  }
  std::string storedHistory() const {
    return testing::readFile(program->configFile(RecordFocusHistoryStore::key)).value_or("");
  }
  bool key(const std::string& name) { return desktop->shell("xdotool key " + name); }

  std::unique_ptr<testing::TrayMenu> tray;
};

constexpr const char* title = "Weekly reflection \u2014 Vorlane";

TEST_F(ReflectionScenario, TheTrayOpensThisWeekAndLastWeekWithTheirOwnTotals) {
  startDesktop();
  tray = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
  ASSERT_TRUE(tray->ready()) << "the stand-in watcher did not start";
  seedPreferences();
  seedHistory();
  const std::string seeded = storedHistory();
  ASSERT_FALSE(seeded.empty());
  launch(at("09:10:00"), 60);
  ASSERT_TRUE(tray->waitForItem(startLimit)) << "the icon never reached the tray host";

  ASSERT_TRUE(tray->choose({"Weekly reflection*"})) << tray->lastLayout();
  ASSERT_TRUE(waitForActive(title));
  EXPECT_TRUE(program->waitForLine(
      "weekly reflection shows this week, Mar 29, 2026 \u2013 Apr 4, 2026: 2 completed "
      "sessions \u00B7 55 recorded minutes",
      30s))
      << program->log();
  settled("reflection-this-week");

  // The keyboard starts on the week picker; the arrow keys move between its segments.
  ASSERT_TRUE(key("Right"));
  EXPECT_TRUE(program->waitForLine(
      "weekly reflection shows last week, Mar 22, 2026 \u2013 Mar 28, 2026: 3 completed "
      "sessions \u00B7 90 recorded minutes",
      30s))
      << program->log();
  settled("reflection-last-week");

  // Asked again while open, it is only raised: still last week, nothing recomputed anew.
  ASSERT_TRUE(tray->choose({"Weekly reflection*"}));
  // Raised and drawn again: a recomputed week would have been logged on the way.
  ASSERT_TRUE(waitForActive(title));
  settled("reflection-raised");
  EXPECT_EQ(program->count("weekly reflection shows this week"), 1u);

  ASSERT_TRUE(key("Escape"));
  EXPECT_TRUE(waitForInactive(title));
  EXPECT_EQ(storedHistory(), seeded) << "looking back changed the stored history";
}

}  // namespace
}  // namespace vorlane::e2e
