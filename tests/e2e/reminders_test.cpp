// Three reminders typed into the quick command window (a clock time, a countdown and a
// weekday recurrence), the program restarted between their adding and their minute: each
// fires once, at its minute. A reminder that cannot be read (its phrase no longer UTF-8),
// put first in the file while the program was stopped, hides none of them, and the file is
// kept aside as it was before the first save writes the others back.
#include <sys/wait.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/reminders/reminder.h"
#include "platform/persistence/file_reminder_store.h"
#include "tests/e2e/scenario.h"

namespace vorlane::e2e {
namespace {

// A Monday, so that the weekday reminder is due the same day.
constexpr const char* monday = "2026-03-30";
// Slow while typing, so that a countdown starts close to when it was typed.
constexpr int typingSpeed = 10;

TEST_F(Scenario, RemindersTypedInTheQuickWindowOutliveARestartAndFireOnceEachAtTheirMinute) {
  startDesktop();
  seedPreferences();
  launch(atOn(monday, "08:55:00"), typingSpeed);
  const std::pair<const char*, const char*> typed[] = {
      {"remind at 10:30am call the bakery", "call the bakery"},
      {"remind in 90m take the bread out", "take the bread out"},
      {"remind weekdays 11:15am water the plants", "water the plants"},
  };
  for (const auto& [command, phrase] : typed) {
    SCOPED_TRACE(command);
    ASSERT_TRUE(typeCommand(command)) << "the window never had the keys";
    ASSERT_TRUE(program->waitForLine(std::string("added reminder: ") + phrase, 30s));
  }
  const auto status = program->stop(SIGTERM);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
  EXPECT_EQ(program->count("performing visit"), 0u);

  const auto stored = FileReminderStore(program->remindersFile()).reminders();
  ASSERT_EQ(stored.size(), 3u);
  const auto find = [&](const std::string& phrase) {
    const auto it = std::find_if(stored.begin(), stored.end(),
                                 [&](const Reminder& r) { return r.phrase == phrase; });
    if (it == stored.end()) throw std::runtime_error("no stored reminder " + phrase);
    return *it;
  };
  const Reminder clockTime = find("call the bakery");
  const Reminder countdown = find("take the bread out");
  const Reminder weekly = find("water the plants");
  EXPECT_EQ(clockTime.trigger,
            VisitTrigger::oneOff(Date::fromUnix(double(atOn(monday, "10:30:00")))));
  EXPECT_EQ(countdown.trigger, VisitTrigger::countdown(90 * 60));
  EXPECT_EQ(weekly.trigger,
            VisitTrigger::recurring(Recurrence(RecurrenceDays::weekdays(), 11, 15)));
  const std::pair<const Reminder*, std::string> due[] = {
      {&countdown, "performing visit scheduled for " + describeDate(countdown.createdAt + 90 * 60)},
      {&clockTime, visitLine(atOn(monday, "10:30:00"))},
      {&weekly, visitLine(atOn(monday, "11:15:00"))}};

  const std::string doctored =
      "[" + std::string(R"({"id":"6F1C3C41-2C51-4A09-9F1B-6B7A2C1D5E01","phrase":")") +
      "\xC3 \xFF\xFE" + R"(","trigger":{"hourly":{}},"createdAt":0},)" +
      testing::readFile(program->remindersFile()).value().substr(1);
  testing::writeFile(program->remindersFile(), doctored);

  launch(atOn(monday, "09:45:00"));
  const std::string leftOut =
      "stored reminders that could not be read were left out, the file to be moved aside before "
      "the next save: 1";
  EXPECT_TRUE(program->waitForLine(leftOut, 60s));
  ASSERT_TRUE(
      program->waitForLine(visitLine(atOn(monday, "12:00:00")), program->real(3 * 60 * 60) + 30s))
      << "the day did not reach noon";
  for (const auto& [reminder, line] : due) {
    SCOPED_TRACE(reminder->phrase);
    EXPECT_EQ(program->count(line), 1u);
    EXPECT_EQ(program->count("speaking: " + reminder->phrase), 1u);
  }
  // Fired, the one-off and the countdown are gone; the weekday one stays for tomorrow.
  const auto left = FileReminderStore(program->remindersFile()).reminders();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0], weekly);
  std::vector<std::string> aside;
  for (const auto& name : testing::folderEntries(program->remindersFile().parent_path())) {
    if (name.starts_with("reminders.json.unreadable-")) {
      aside.push_back(testing::readFile(program->remindersFile().parent_path() / name).value());
    }
  }
  EXPECT_EQ(aside, std::vector<std::string>{doctored});
  EXPECT_EQ(program->count(leftOut), 1u);
}

}  // namespace
}  // namespace vorlane::e2e
