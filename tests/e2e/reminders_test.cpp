// Three reminders stored before the program first starts (a clock time, a countdown and a
// weekday recurrence), the program restarted between their adding and their minute: each
// fires once, at its minute.
#include <sys/wait.h>

#include "core/reminders/reminder.h"
#include "platform/persistence/file_reminder_store.h"
#include "tests/e2e/scenario.h"

namespace vorlane::e2e {
namespace {

TEST_F(Scenario, RemindersOutliveARestartAndFireOnceEachAtTheirMinute) {
  startDesktop();
  seedPreferences();
  const std::time_t added = at("08:55:00");
  const Date createdAt = Date::fromUnix(double(added));
  const Reminder clockTime(UUID::random(), "Call the bakery",
                           VisitTrigger::oneOff(Date::fromUnix(double(at("10:30:00")))), createdAt);
  const Reminder countdown(UUID::random(), "Take the bread out", VisitTrigger::countdown(90 * 60),
                           createdAt);
  // 2026-03-29 is a Sunday, day 1.
  const Reminder weekly(UUID::random(), "Water the plants",
                        VisitTrigger::recurring(Recurrence(RecurrenceDays::specific({1}), 11, 15)),
                        createdAt);
  {
    FileReminderStore store(program->remindersFile());
    for (const Reminder& r : {clockTime, countdown, weekly}) store.add(r);
  }
  const std::pair<const Reminder*, std::time_t> due[] = {
      {&countdown, at("10:25:00")}, {&clockTime, at("10:30:00")}, {&weekly, at("11:15:00")}};

  launch(added);
  ASSERT_TRUE(testing::waitUntil([&] { return program->fakeNow() >= at("09:40:00"); },
                                 program->real(60 * 60)));
  const auto status = program->stop(SIGTERM);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
  for (const auto& [reminder, when] : due) EXPECT_EQ(program->count(reminder->phrase), 0u);
  EXPECT_EQ(FileReminderStore(program->remindersFile()).reminders().size(), 3u);

  launch(at("09:45:00"));
  ASSERT_TRUE(program->waitForLine(visitLine(at("12:00:00")), program->real(3 * 60 * 60)))
      << "the day did not reach noon";
  for (const auto& [reminder, when] : due) {
    SCOPED_TRACE(reminder->phrase);
    EXPECT_EQ(program->count(visitLine(when)), 1u);
    EXPECT_EQ(program->count("speaking: " + reminder->phrase), 1u);
  }
  // Fired, the one-off and the countdown are gone; the weekly one stays for next Sunday.
  const auto left = FileReminderStore(program->remindersFile()).reminders();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0], weekly);
}

}  // namespace
}  // namespace vorlane::e2e
