#include "core/focus/mute_duration.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace vorlane {
namespace {

TEST(MuteDuration, RawValuesRoundTripExactly) {
  for (MuteDuration duration : allMuteDurations) {
    EXPECT_EQ(muteDurationFromRaw(rawValue(duration)), duration) << rawValue(duration);
  }
  EXPECT_EQ(rawValue(MuteDuration::untilThisEvening), "untilThisEvening");
  EXPECT_EQ(displayName(MuteDuration::fifteenMinutes), "for 15 minutes");
  for (const char* foreign : {"OneHour", "oneHour ", " oneHour", "", "untiltomorrow"}) {
    EXPECT_EQ(muteDurationFromRaw(foreign), std::nullopt) << '"' << foreign << '"';
  }
}

struct Moment {
  int year, month, day, hour, minute, second;
  bool operator==(const Moment&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Moment& m) {
    return out << m.year << '-' << m.month << '-' << m.day << ' ' << m.hour << ':' << m.minute
               << ':' << m.second;
  }
};

TEST(MuteDuration, ExpiryOnOrdinaryAndClockChangeDays) {
  struct Row {
    const char* name;
    const char* zone;
    MuteDuration duration;
    Moment now;
    Moment expected;
  };
  const Row rows[] = {
      {"quarter hour crosses midnight", "America/New_York", MuteDuration::fifteenMinutes,
       {2026, 5, 4, 23, 50, 0}, {2026, 5, 5, 0, 5, 0}},
      // Plain seconds: the hour skipped by the clock change is not waited for.
      {"hour over a spring-forward gap", "Europe/London", MuteDuration::oneHour,
       {2026, 3, 29, 0, 50, 0}, {2026, 3, 29, 2, 50, 0}},
      {"evening a second away", "America/New_York", MuteDuration::untilThisEvening,
       {2026, 5, 4, 17, 59, 59}, {2026, 5, 4, 18, 0, 0}},
      {"evening reached exactly", "America/New_York", MuteDuration::untilThisEvening,
       {2026, 5, 4, 18, 0, 0}, {2026, 5, 5, 0, 0, 0}},
      {"evening passed", "America/New_York", MuteDuration::untilThisEvening,
       {2026, 5, 4, 18, 0, 1}, {2026, 5, 5, 0, 0, 0}},
      {"evening after midnight", "America/New_York", MuteDuration::untilThisEvening,
       {2026, 5, 4, 0, 30, 0}, {2026, 5, 4, 18, 0, 0}},
      {"tomorrow a minute away", "America/New_York", MuteDuration::untilTomorrow,
       {2026, 5, 4, 23, 59, 0}, {2026, 5, 5, 0, 0, 0}},
      {"tomorrow from midnight", "America/New_York", MuteDuration::untilTomorrow,
       {2026, 5, 4, 0, 0, 0}, {2026, 5, 5, 0, 0, 0}},
      // The next midnight is the start of the following calendar day, not the day holding
      // now + 24 h: on this 25-hour day that would be today's midnight, already past.
      {"tomorrow early on a 25-hour day", "Europe/London", MuteDuration::untilTomorrow,
       {2026, 10, 25, 0, 30, 0}, {2026, 10, 26, 0, 0, 0}},
      // ... and before this 23-hour day it would be the midnight after next.
      {"tomorrow late before a 23-hour day", "Europe/London", MuteDuration::untilTomorrow,
       {2026, 3, 28, 23, 30, 0}, {2026, 3, 29, 0, 0, 0}},
      {"evening passed before a 23-hour day", "Europe/London", MuteDuration::untilThisEvening,
       {2026, 3, 28, 23, 30, 0}, {2026, 3, 29, 0, 0, 0}},
      // This zone skips midnight when its clocks go forward; the day begins at 01:00.
      {"tomorrow when midnight is skipped", "America/Santiago", MuteDuration::untilTomorrow,
       {2026, 9, 5, 20, 0, 0}, {2026, 9, 6, 1, 0, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Calendar calendar(row.zone);
    const auto now = calendar.date(row.now.year, row.now.month, row.now.day, row.now.hour,
                                   row.now.minute, row.now.second);
    ASSERT_TRUE(now);
    const DateComponents got = calendar.components(expiry(row.duration, *now, calendar));
    const Moment& e = row.expected;
    EXPECT_EQ((Moment{got.year, got.month, got.day, got.hour, got.minute, got.second}),
              e);
  }
}

// The day-based mutes end at the first start of a day after now, whatever the day's length.
TEST(MuteDuration, DayBasedMutesEndAtTheNextStartOfDayAllYear) {
  for (const char* zone : {"Europe/London", "America/Santiago", "Australia/Lord_Howe", "UTC"}) {
    SCOPED_TRACE(zone);
    const Calendar calendar(zone);
    const Date first = *calendar.date(2026, 1, 1);
    const Date last = *calendar.date(2027, 1, 1);
    int failures = 0;
    for (Date now = first; now < last && failures < 5; now += 1800.0 + 7.0) {
      const Date tomorrow = expiry(MuteDuration::untilTomorrow, now, calendar);
      const Date evening = expiry(MuteDuration::untilThisEvening, now, calendar);
      const bool tomorrowSound = tomorrow > now && calendar.startOfDay(tomorrow) == tomorrow &&
                                 calendar.startOfDay(tomorrow - 1.0) <= now;
      const bool eveningSound =
          evening > now && (evening == tomorrow || (calendar.isSameDay(evening, now) &&
                                                    calendar.hour(evening) == 18 &&
                                                    calendar.minute(evening) == 0));
      if (!tomorrowSound || !eveningSound) {
        ++failures;
        ADD_FAILURE() << "at " << now.timeIntervalSinceReferenceDate() << " tomorrow "
                      << tomorrow.timeIntervalSinceReferenceDate() << " evening "
                      << evening.timeIntervalSinceReferenceDate();
      }
    }
  }
}

}  // namespace
}  // namespace vorlane
