#include "foundation/calendar.h"

#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <unicode/basictz.h>
#include <unicode/calendar.h>
#include <unicode/tztrans.h>

#include "foundation/text.h"

namespace vorlane {
namespace {

const Calendar newYork("America/New_York", "en_US");

Date utc(int year, int month, int day, int hour, int minute = 0, double second = 0) {
  return *Calendar("UTC").date(year, month, day, hour, minute, 0) + second;
}

TEST(Calendar, PlacesWallTimesWithTheSkippedAndRepeatedPolicies) {
  struct Row {
    const char* name;
    int year, month, day, hour, minute, second;
    Date expected;
  };
  const Row rows[] = {
      {"ordinary winter day", 2026, 1, 15, 9, 15, 30, utc(2026, 1, 15, 14, 15, 30)},
      {"skipped 02:30 gives 03:00 EDT", 2026, 3, 8, 2, 30, 0, utc(2026, 3, 8, 7, 0)},
      {"skipped 02:00 gives 03:00 EDT", 2026, 3, 8, 2, 0, 0, utc(2026, 3, 8, 7, 0)},
      {"03:00 after the gap", 2026, 3, 8, 3, 0, 0, utc(2026, 3, 8, 7, 0)},
      {"repeated 01:30 gives 01:30 EDT", 2026, 11, 1, 1, 30, 0, utc(2026, 11, 1, 5, 30)},
      {"02:00 after the repeat is EST", 2026, 11, 1, 2, 0, 0, utc(2026, 11, 1, 7, 0)},
      {"leap day", 2028, 2, 29, 23, 59, 59, utc(2028, 3, 1, 4, 59, 59)},
  };
  for (const Row& row : rows) {
    const std::optional<Date> placed =
        newYork.date(row.year, row.month, row.day, row.hour, row.minute, row.second);
    ASSERT_TRUE(placed) << row.name;
    EXPECT_EQ(*placed, row.expected) << row.name;
    // The same wall time placed on the day through any instant of that day.
    const Date noon = *newYork.date(row.year, row.month, row.day, 12);
    EXPECT_EQ(newYork.date(row.hour, row.minute, row.second, noon), row.expected) << row.name;
  }
}

TEST(Calendar, PlacementDropsTheDaysMilliseconds) {
  const Date day = utc(2026, 6, 1, 15, 42, 17.75);
  EXPECT_EQ(newYork.date(9, 0, 0, day), utc(2026, 6, 1, 13, 0));
}

TEST(Calendar, OutOfRangeFieldsGiveNone) {
  const Date day = utc(2026, 6, 1, 15);
  struct Row {
    const char* name;
    std::int64_t hour, minute, second;
  };
  const Row times[] = {{"hour 24", 24, 0, 0},   {"hour -1", -1, 0, 0},     {"minute 60", 9, 60, 0},
                       {"minute -1", 9, -1, 0}, {"second 60", 9, 0, 60},   {"second -1", 9, 0, -1},
                       {"huge hour", std::int64_t{1} << 40, 0, 0},
                       {"hour wrapping to 0 in 32 bits", std::int64_t{1} << 32, 0, 0}};
  for (const Row& row : times) {
    EXPECT_FALSE(newYork.date(row.hour, row.minute, row.second, day)) << row.name;
  }
  EXPECT_FALSE(newYork.date(2026, 13, 1)) << "month 13";
  EXPECT_FALSE(newYork.date(2026, 0, 1)) << "month 0";
  EXPECT_FALSE(newYork.date(2026, 4, 31)) << "April 31";
  EXPECT_FALSE(newYork.date(2026, 2, 29)) << "February 29 of a common year";
  EXPECT_FALSE(newYork.date(2026, 5, 0)) << "day 0";
  EXPECT_FALSE(newYork.date(2026, 5, 1, 24)) << "hour 24";
}

TEST(Calendar, ComponentsAreLocalAndWeekdayOneIsSunday) {
  const DateComponents expected{2026, 3, 8, 3, 0, 0, 1};
  EXPECT_EQ(newYork.components(utc(2026, 3, 8, 7, 0)), expected);
  // A Monday-first locale still numbers weekdays from Sunday.
  const Calendar berlin("Europe/Berlin", "de_DE");
  EXPECT_EQ(berlin.weekday(utc(2026, 3, 9, 12)), 2);
  EXPECT_EQ(newYork.hour(utc(2026, 11, 1, 6, 30)), 1);  // second 01:30, in EST
  EXPECT_EQ(newYork.minute(utc(2026, 11, 1, 6, 30)), 30);
  // A locale asking for another calendar system still gets Gregorian years.
  EXPECT_EQ(Calendar("Asia/Bangkok", "th_TH@calendar=buddhist").components(utc(2026, 5, 1, 0)).year,
            2026);
}

TEST(Calendar, StartOfDayIsTheFirstInstantThatExists) {
  EXPECT_EQ(newYork.startOfDay(utc(2026, 3, 8, 20)), utc(2026, 3, 8, 5));
  EXPECT_EQ(newYork.startOfNextDay(utc(2026, 3, 8, 20)), utc(2026, 3, 9, 4));
  // A fall-back day lasts 25 hours.
  const Date fallBack = utc(2026, 11, 1, 12);
  EXPECT_EQ(newYork.startOfNextDay(fallBack) - newYork.startOfDay(fallBack), 90000.0);
  // Sao Paulo skipped its midnight on 2018-11-04: the day began at 01:00 (-02:00).
  const Calendar saoPaulo("America/Sao_Paulo", "pt_BR");
  EXPECT_EQ(saoPaulo.startOfDay(utc(2018, 11, 4, 15)), utc(2018, 11, 4, 3));
  EXPECT_EQ(saoPaulo.startOfNextDay(utc(2018, 11, 3, 15)), utc(2018, 11, 4, 3));
}

TEST(Calendar, AddingDaysKeepsTheWallTime) {
  struct Row {
    const char* name;
    Date from;
    std::int64_t days;
    Date expected;
  };
  const Row rows[] = {
      {"over spring-forward", utc(2026, 3, 7, 14), 1, utc(2026, 3, 8, 13)},
      {"back over spring-forward", utc(2026, 3, 8, 13), -1, utc(2026, 3, 7, 14)},
      {"into the skipped hour", utc(2026, 3, 7, 7, 30), 1, utc(2026, 3, 8, 7, 0)},
      {"into the repeated hour", utc(2026, 10, 31, 5, 30), 1, utc(2026, 11, 1, 5, 30)},
      {"over a year end", utc(2026, 12, 31, 17), 1, utc(2027, 1, 1, 17)},
      {"zero days keeps the second 01:30", utc(2026, 11, 1, 6, 30), 0, utc(2026, 11, 1, 6, 30)},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(newYork.addingDays(row.days, row.from), row.expected) << row.name;
  }
  EXPECT_EQ(newYork.addingWeeks(1, utc(2026, 3, 3, 15)), utc(2026, 3, 10, 14));
  EXPECT_EQ(newYork.addingWeeks(-2, utc(2026, 3, 17, 14)), utc(2026, 3, 3, 15));
  // Absurd counts do not wrap around to a nearby date.
  EXPECT_GT(newYork.addingDays(INT64_MAX, utc(2026, 1, 1, 0)), utc(2100, 1, 1, 0));
  EXPECT_LT(newYork.addingWeeks(INT64_MIN, utc(2026, 1, 1, 0)), utc(1900, 1, 1, 0));
}

TEST(Calendar, SameDayFollowsTheCalendarsZone) {
  const Date lateEvening = utc(2026, 6, 2, 3, 30);  // 23:30 EDT on 1 June
  const Date morning = utc(2026, 6, 1, 13);
  EXPECT_TRUE(newYork.isSameDay(lateEvening, morning));
  EXPECT_FALSE(Calendar("UTC").isSameDay(lateEvening, morning));
  EXPECT_FALSE(newYork.isToday(utc(2026, 6, 2, 4), morning));
  // Same day and month a year apart.
  EXPECT_FALSE(newYork.isSameDay(morning, utc(2027, 6, 1, 13)));
}

TEST(Calendar, NextDateMatchesTheMinuteStrictlyAfter) {
  struct Row {
    const char* name;
    Date after;
    int minute;
    Date expected;
  };
  const Row rows[] = {
      {"later this hour", utc(2026, 1, 15, 15, 15), 30, utc(2026, 1, 15, 15, 30)},
      {"exactly on it gives the next hour", utc(2026, 1, 15, 15, 30), 30, utc(2026, 1, 15, 16, 30)},
      {"just past it", utc(2026, 1, 15, 15, 30, 0.001), 30, utc(2026, 1, 15, 16, 30)},
      {"milliseconds before it", utc(2026, 1, 15, 15, 29, 59.25), 30, utc(2026, 1, 15, 15, 30)},
      {"over a year end", utc(2027, 1, 1, 4, 50), 0, utc(2027, 1, 1, 5, 0)},
      {"spring-forward: 01:00 EST gives 03:00 EDT", utc(2026, 3, 8, 6, 0), 0, utc(2026, 3, 8, 7, 0)},
      {"spring-forward: skipped 02:30 gives 03:00", utc(2026, 3, 8, 6, 45), 30, utc(2026, 3, 8, 7, 0)},
      {"spring-forward: then 03:30 EDT", utc(2026, 3, 8, 7, 0), 30, utc(2026, 3, 8, 7, 30)},
      {"fall-back: 00:59 EDT gives 01:00 EDT", utc(2026, 11, 1, 4, 59), 0, utc(2026, 11, 1, 5, 0)},
      {"fall-back: 01:30 EDT gives 02:00 EST", utc(2026, 11, 1, 5, 30), 0, utc(2026, 11, 1, 7, 0)},
      {"fall-back: second 01:15 gives 02:45 EST", utc(2026, 11, 1, 6, 15), 45, utc(2026, 11, 1, 7, 45)},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(newYork.nextDate(row.after, row.minute), row.expected) << row.name;
  }
  EXPECT_FALSE(newYork.nextDate(utc(2026, 1, 15, 15), 60));
  EXPECT_FALSE(newYork.nextDate(utc(2026, 1, 15, 15), -1));
}

TEST(Calendar, HalfHourBoundariesOverBothClockChanges) {
  for (const auto& [name, start, expected] : std::vector<std::tuple<const char*, Date, std::vector<double>>>{
           // 00:00 EST onwards: 00:30, 01:00, 01:30 EST, then 03:00 and 03:30 EDT.
           {"spring-forward", utc(2026, 3, 8, 5), {1800, 3600, 5400, 7200, 9000}},
           // 00:00 EDT onwards: 00:30, 01:00, 01:30 EDT, then 02:00 (three hours in) EST.
           {"fall-back", utc(2026, 11, 1, 4), {1800, 3600, 5400, 10800, 12600}},
       }) {
    Date at = start;
    for (double offset : expected) {
      const std::optional<Date> half = newYork.nextDate(at, 30);
      const std::optional<Date> hour = newYork.nextDate(at, 0);
      ASSERT_TRUE(half && hour) << name;
      at = std::min(*half, *hour);
      EXPECT_EQ(at - start, offset) << name;
    }
  }
}

TEST(Calendar, WeekIntervalCountsCalendarDaysFromTheLocalesFirstWeekday) {
  struct Row {
    const char* name;
    Calendar calendar;
    Date inside;
    Date start;
    double length;
  };
  const Row rows[] = {
      {"spring-forward week", newYork, utc(2026, 3, 11, 12), utc(2026, 3, 8, 5), 601200},
      {"fall-back week", newYork, utc(2026, 11, 4, 12), utc(2026, 11, 1, 4), 608400},
      {"ordinary week", newYork, utc(2026, 6, 10, 12), utc(2026, 6, 7, 4), 604800},
      {"its own first instant", newYork, utc(2026, 6, 7, 4), utc(2026, 6, 7, 4), 604800},
      {"last instant of a week", newYork, utc(2026, 6, 14, 3, 59, 59.5), utc(2026, 6, 7, 4), 604800},
      {"Monday-first locale", Calendar("Europe/Berlin", "de_DE"), utc(2026, 6, 7, 12),
       utc(2026, 5, 31, 22), 604800},
      {"Monday-first over Europe's spring-forward", Calendar("Europe/Berlin", "de_DE"),
       utc(2026, 3, 25, 12), utc(2026, 3, 22, 23), 601200},
  };
  for (const Row& row : rows) {
    const DateInterval week = row.calendar.weekInterval(row.inside);
    EXPECT_EQ(week.start, row.start) << row.name;
    EXPECT_EQ(week.duration(), row.length) << row.name;
    EXPECT_TRUE(week.contains(row.inside)) << row.name;
  }
}

TEST(Calendar, NonFiniteDatesGiveNoneOrComeBackUnchanged) {
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    const Date date(bad);
    EXPECT_FALSE(newYork.nextDate(date, 0)) << bad;
    EXPECT_FALSE(newYork.date(9, 0, 0, date)) << bad;
    EXPECT_FALSE(newYork.isSameDay(date, date)) << bad;
    EXPECT_EQ(newYork.components(date), DateComponents{}) << bad;
    const Date unchanged[] = {newYork.startOfDay(date), newYork.startOfNextDay(date),
                              newYork.addingDays(1, date), newYork.weekInterval(date).start};
    for (const Date& result : unchanged) {
      if (std::isnan(bad)) {
        EXPECT_TRUE(std::isnan(result.timeIntervalSinceReferenceDate()));
      } else {
        EXPECT_EQ(result, date);
      }
    }
  }
  // Absurdly far dates still give a date of the right sign, never a wrapped one.
  EXPECT_GT(newYork.startOfDay(Date(1e300)), utc(2200, 1, 1, 0));
  EXPECT_LT(newYork.startOfDay(Date(-1e300)), utc(1800, 1, 1, 0));
}

TEST(Calendar, ZoneIdsAndTheIcuCalendarsPolicy) {
  EXPECT_EQ(newYork.timeZoneId(), "America/New_York");
  EXPECT_EQ(newYork.localeId(), "en_US");
  const Calendar unknown("Nowhere/Atlantis");
  EXPECT_EQ(unknown.timeZoneId(), "UTC");
  EXPECT_EQ(unknown.hour(utc(2026, 1, 1, 17)), 17);

  const std::unique_ptr<icu::Calendar> icu = newYork.makeIcuCalendar();
  EXPECT_TRUE(icu->isLenient());
  EXPECT_EQ(icu->getSkippedWallTimeOption(), UCAL_WALLTIME_NEXT_VALID);
  EXPECT_EQ(icu->getRepeatedWallTimeOption(), UCAL_WALLTIME_FIRST);
  EXPECT_STREQ(icu->getType(), "gregorian");
}

// ICU's own calendar, set up with the same policy, is the reference for every local time
// within a few hours of every clock change of these zones, in and beyond the years the
// calendar tabulates (1900-2200).
TEST(Calendar, AgreesWithIcuAroundEveryClockChange) {
  const char* zones[] = {"America/New_York", "Europe/Berlin",    "Australia/Lord_Howe",
                         "America/Sao_Paulo", "Pacific/Apia",     "Africa/Casablanca",
                         "Antarctica/Troll",  "America/St_Johns", "Asia/Kolkata"};
  constexpr double hourMs = 3600000.0;
  for (const char* zoneId : zones) {
    const Calendar calendar(zoneId, "en_US");
    const std::unique_ptr<icu::Calendar> icu = calendar.makeIcuCalendar();
    const auto& zone = dynamic_cast<const icu::BasicTimeZone&>(icu->getTimeZone());
    int checked = 0;
    icu::TimeZoneTransition transition;
    for (UDate from = Date::fromUnix(-2524521600.0).udate();  // 1890
         zone.getNextTransition(from, false, transition) && transition.getTime() < 1.05e13;  // 2302
         from = transition.getTime()) {
      for (double offset = -3 * hourMs; offset <= 3 * hourMs; offset += hourMs / 4) {
        UErrorCode status = U_ZERO_ERROR;
        const Date instant = Date::fromUDate(transition.getTime() + offset);
        icu->setTime(instant.udate(), status);
        const DateComponents expected{icu->get(UCAL_EXTENDED_YEAR, status), icu->get(UCAL_MONTH, status) + 1,
                                      icu->get(UCAL_DATE, status),          icu->get(UCAL_HOUR_OF_DAY, status),
                                      icu->get(UCAL_MINUTE, status),        icu->get(UCAL_SECOND, status),
                                      icu->get(UCAL_DAY_OF_WEEK, status)};
        ASSERT_FALSE(U_FAILURE(status));
        ASSERT_EQ(calendar.components(instant), expected) << zoneId << " at " << instant.unixSeconds();

        // The same local fields placed back: ICU resolves them with the policy too.
        icu->clear();
        icu->set(expected.year, expected.month - 1, expected.day, expected.hour, expected.minute,
                 expected.second);
        const Date placed = Date::fromUDate(icu->getTime(status));
        ASSERT_EQ(calendar.date(expected.year, expected.month, expected.day, expected.hour,
                                expected.minute, expected.second),
                  placed)
            << zoneId << " placing " << expected.year << "-" << expected.month << "-" << expected.day
            << " " << expected.hour << ":" << expected.minute;
        // And the skipped or repeated wall times, which no instant shows or shows twice.
        for (int hour = expected.hour; hour <= std::min(expected.hour + 1, 23); ++hour) {
          for (int minute : {0, 30}) {
            icu->clear();
            icu->set(expected.year, expected.month - 1, expected.day, hour, minute, 0);
            ASSERT_EQ(calendar.date(hour, minute, 0, instant), Date::fromUDate(icu->getTime(status)))
                << zoneId << " " << expected.year << "-" << expected.month << "-" << expected.day
                << " " << hour << ":" << minute;
          }
        }
        ++checked;
      }
    }
    EXPECT_GT(checked, 100) << zoneId << " has too few clock changes to be a check";
  }
}

class CurrentCalendarLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : names) {
      const char* value = std::getenv(name);
      saved.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
    }
  }
  void TearDown() override {
    for (std::size_t i = 0; i < std::size(names); ++i) {
      if (saved[i]) setenv(names[i], saved[i]->c_str(), 1); else unsetenv(names[i]);
    }
  }
  static constexpr const char* names[] = {"LC_ALL", "LC_TIME", "LANG"};
  std::vector<std::optional<std::string>> saved;
};

TEST_F(CurrentCalendarLocale, ComesFromLcAllThenLcTimeThenLang) {
  struct Row {
    const char* name;
    const char* lcAll;
    const char* lcTime;
    const char* lang;
    const char* expected;
  };
  const Row rows[] = {
      {"LC_ALL wins", "de_DE.UTF-8", "fr_FR.UTF-8", "en_GB.UTF-8", "de_DE"},
      {"empty LC_ALL is skipped", "", "fr_FR.UTF-8", "en_GB.UTF-8", "fr_FR"},
      {"LANG last", nullptr, nullptr, "en_GB.UTF-8", "en_GB"},
      {"modifier dropped", nullptr, nullptr, "sr_RS@latin", "sr_RS"},
      {"C locale", nullptr, nullptr, "C.UTF-8", "en_US_POSIX"},
      {"POSIX locale", "POSIX", nullptr, nullptr, "en_US_POSIX"},
      {"nothing set", nullptr, nullptr, nullptr, "en_US_POSIX"},
  };
  for (const Row& row : rows) {
    const char* values[] = {row.lcAll, row.lcTime, row.lang};
    for (std::size_t i = 0; i < std::size(names); ++i) {
      if (values[i]) setenv(names[i], values[i], 1); else unsetenv(names[i]);
    }
    EXPECT_EQ(Calendar::current().localeId(), row.expected) << row.name;
  }
}

TEST(Calendar, CopiesWorkFromSeveralThreadsAtOnce) {
  const Date start = utc(2026, 3, 7, 20);
  std::vector<Date> expected;
  for (Date at = start; expected.size() < 200;) expected.push_back(at = *newYork.nextDate(at, 30));

  std::vector<std::thread> threads;
  std::vector<int> mismatches(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t, calendar = newYork] {
      Date at = start;
      for (const Date& want : expected) {
        at = *calendar.nextDate(at, 30);
        if (at != want) ++mismatches[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace vorlane
