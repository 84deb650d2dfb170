#include "core/scheduling/visit_scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/core/scheduling/scheduler_harness.h"

namespace vorlane {
namespace {

const Calendar utc("UTC", "en_US");

Date utcTime(int month, int day, int hour, int minute) {
  return *utc.date(2026, month, day, hour, minute, 0);
}

// A whole day of 30-second polls across a clock change, with visits all day long and two
// daily reminders in or next to the changed hour. Each local boundary gives one visit,
// never late: a skipped one none (its time belongs to the next hour), a repeated one only
// its first occurrence.
TEST(VisitSchedulerDst, EveryBoundaryOnceOnClockChangeDays) {
  struct Row {
    const char* name;
    const char* zone;
    int month;
    int day;
    int skippedHour;          // -1 on a day with a repeated hour
    Date reminderAt0130;      // when the daily 01:30 reminder must fire
    Date reminderAt0230;      // when the daily 02:30 reminder must fire
  };
  const Row rows[] = {
      // 02:00 EST jumps to 03:00 EDT; 02:30 resolves to 03:00 EDT.
      {"New York spring forward", "America/New_York", 3, 8, 2, utcTime(3, 8, 6, 30),
       utcTime(3, 8, 7, 0)},
      // 02:00 EDT falls back to 01:00 EST; the first 01:30 is EDT.
      {"New York fall back", "America/New_York", 11, 1, -1, utcTime(11, 1, 5, 30),
       utcTime(11, 1, 7, 30)},
      // 02:00 AEST jumps to 03:00 AEDT.
      {"Sydney spring forward", "Australia/Sydney", 10, 4, 2, utcTime(10, 3, 15, 30),
       utcTime(10, 3, 16, 0)},
      // 03:00 AEDT falls back to 02:00 AEST; the first 02:30 is AEDT.
      {"Sydney fall back", "Australia/Sydney", 4, 5, -1, utcTime(4, 4, 14, 30),
       utcTime(4, 4, 15, 30)},
  };
  for (const Row& row : rows) {
    for (const bool halfHours : {false, true}) {
      const std::string name = std::string(row.name) + (halfHours ? ", half hours" : "");
      const Calendar calendar(row.zone, "en_US");
      const Date dayStart = *calendar.date(2026, row.month, row.day);
      const Date dayEnd = calendar.startOfNextDay(dayStart);

      SchedulerHarness h(calendar, dayStart - 1800);
      h.preferences.activeStartHour = 0;
      h.preferences.activeEndHour = 23;
      h.preferences.halfHourVisitsEnabled = halfHours;
      const auto daily = [&](int hour, int minute) {
        return Reminder(UUID::random(), "r",
                        VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), hour, minute)),
                        dayStart - 86400);
      };
      const Reminder early = daily(1, 30);
      const Reminder late = daily(2, 30);
      h.scheduler.setReminders({early, late});

      std::vector<Date> hourly;
      std::vector<std::pair<UUID, Date>> reminders;
      for (Date now = dayStart - 1800; now <= dayEnd + 1800; now += 30) {
        for (const Visit& visit : h.pollAt(now)) {
          EXPECT_GE(now - visit.scheduledFor, 0) << name;
          EXPECT_LT(now - visit.scheduledFor, 30) << name;
          if (visit.kind == Visit::Kind::hourly()) {
            if (calendar.isSameDay(visit.scheduledFor, dayStart)) hourly.push_back(visit.scheduledFor);
          } else {
            reminders.emplace_back(visit.kind.reminderId(), visit.scheduledFor);
          }
        }
      }
      EXPECT_TRUE(h.staleReports.empty()) << name;

      std::vector<std::pair<int, int>> expected;
      for (int hour = 0; hour < 24; ++hour) {
        if (hour == row.skippedHour) continue;
        expected.emplace_back(hour, 0);
        if (halfHours) expected.emplace_back(hour, 30);
      }
      std::vector<std::pair<int, int>> seen;
      for (const Date date : hourly) {
        const DateComponents parts = calendar.components(date);
        EXPECT_EQ(parts.second, 0) << name;
        seen.emplace_back(parts.hour, parts.minute);
      }
      EXPECT_EQ(seen, expected) << name;
      EXPECT_TRUE(std::is_sorted(hourly.begin(), hourly.end())) << name;

      const std::vector<std::pair<UUID, Date>> expectedReminders = {
          {early.id, row.reminderAt0130}, {late.id, row.reminderAt0230}};
      EXPECT_EQ(reminders, expectedReminders) << name;
    }
  }
}

}  // namespace
}  // namespace vorlane
