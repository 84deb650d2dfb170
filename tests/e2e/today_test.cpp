// The Today window on a whole desktop: opened from the tray's menu, an open priority of the
// day before waiting below, three priorities typed in, and a focus started on the first by
// keyboard alone. The finished focus is recorded against that priority, and starting it
// never marks the priority done.
#include <nlohmann/json.hpp>
#include <thread>

#include "foundation/json.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "tests/e2e/scenario.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {
namespace {

constexpr const char* todayTitle = "Today \u2014 Vorlane";
// A one-minute focus ends in ten real seconds; typing takes a few faked minutes.
constexpr int todaySpeed = 6;

class TodayScenario : public Scenario {
 protected:
  bool type(const std::string& text) {
    return desktop->shell("xdotool type --delay 10 " + testing::quoted(text));
  }
  bool key(const std::string& name) { return desktop->shell("xdotool key " + name); }
  DailyPriorities stored() {
    FileRecordStore records(home.path() / ".config/vorlane");
    return RecordDailyPrioritiesStore(&records).plan();
  }
};

TEST_F(TodayScenario, PrioritiesTypedInTheTodayWindowAndAFocusStartedOnOne) {
  startDesktop();
  testing::TrayMenu tray(*desktop, VORLANE_FAKE_STATUS_WATCHER);
  ASSERT_TRUE(tray.ready()) << "the stand-in watcher did not start";
  seedPreferences([](Preferences& p) { p.workMinutes = 1; });
  {
    // Left open the evening before.
    FileRecordStore records(home.path() / ".config/vorlane");
    RecordDailyPrioritiesStore priorities(&records);
    priorities.apply([](DailyPriorities& plan) {
      plan.add("Reply to the landlord", Date::fromUnix(double(atOn("2026-03-28", "18:00:00"))),
               Calendar(zone, "en_US"));
    });
  }
  launch(at("09:10:00"), todaySpeed);
  ASSERT_TRUE(tray.waitForItem(startLimit)) << "the icon never reached the tray host";

  ASSERT_TRUE(tray.choose({"Today \u2014 three priorities\u2026"})) << tray.lastLayout();
  ASSERT_TRUE(waitForActive(todayTitle));
  for (const char* title : {"Write the report", "Call the bank", "Water the plants"}) {
    ASSERT_TRUE(type(title) && key("Return"));
  }
  ASSERT_TRUE(testing::waitUntil([&] { return stored().items().size() == 4u; }, 60s))
      << "the three typed priorities were not all saved";
  settled("today-planned");
  const DailyPriorities plan = stored();
  EXPECT_EQ(plan.items()[0].title, "Reply to the landlord");
  EXPECT_EQ(plan.items()[0].plannedDays, std::vector<std::string>{"2026-03-28"})
      << "nothing is carried over by itself";
  const DailyPriority& first = plan.items()[1];
  EXPECT_EQ(first.title, "Write the report");

  // From the field, Tab passes the full day's disabled Add to the first card's Focus button.
  ASSERT_TRUE(key("Tab") && key("Return"));
  ASSERT_TRUE(program->waitForLine("started a 1 minute session", 60s)) << program->log();
  screenshot("today-focus-started");
  ASSERT_TRUE(program->waitForLine("session complete", program->real(120) + 30s));

  const auto history = testing::readFile(program->configFile("focusHistory"));
  ASSERT_TRUE(history.has_value()) << "no focus history";
  const auto entries = nlohmann::json::parse(*history);
  ASSERT_EQ(entries.size(), 1u) << *history;
  EXPECT_EQ(entries[0]["focus"], "Write the report");
  EXPECT_EQ(entries[0].value("priorityID", ""), json::fromUUID(first.id).get<std::string>())
      << *history;
  EXPECT_FALSE(stored().items()[1].accomplishedAt) << "a finished timer marks nothing done";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
