#include "foundation/calendar.h"

#include <gtest/gtest.h>
#include <unicode/basictz.h>
#include <unicode/calendar.h>
#include <unicode/tztrans.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>

namespace vorlane {
namespace {

const Calendar newYork("America/New_York", "en_US");

Date utc(int year, int month, int day, int hour, int minute = 0, double second = 0) {
  return *Calendar("UTC").date(year, month, day, hour, minute, 0) + second;
}

TEST(Calendar, PlacesWallTimesWithTheSkippedAndRepeatedPoliciesAndRefusesOutOfRangeFields) {
  // {month, day, hour, minute, second} of 2026 in New York, and the instant expected.
  const std::pair<std::array<int, 5>, Date> rows[] = {
      {{1, 15, 9, 15, 30}, utc(2026, 1, 15, 14, 15, 30)},  // an ordinary winter day
      {{3, 8, 2, 30, 0}, utc(2026, 3, 8, 7, 0)},           // skipped 02:30 gives 03:00 EDT
      {{3, 8, 3, 0, 0}, utc(2026, 3, 8, 7, 0)},            // 03:00 after the gap
      {{11, 1, 1, 30, 0}, utc(2026, 11, 1, 5, 30)},        // repeated 01:30 gives 01:30 EDT
      {{11, 1, 2, 0, 0}, utc(2026, 11, 1, 7, 0)},          // 02:00 after the repeat is EST
  };
  for (const auto& [f, expected] : rows) {
    EXPECT_EQ(newYork.date(2026, f[0], f[1], f[2], f[3], f[4]), expected) << f[0] << "/" << f[1];
    // The same wall time placed on the day through any instant of that day.
    const Date noon = *newYork.date(2026, f[0], f[1], 12);
    EXPECT_EQ(newYork.date(f[2], f[3], f[4], noon), expected) << f[0] << "/" << f[1];
  }
  // Placement drops the day's milliseconds; out-of-range fields give none.
  const Date day = utc(2026, 6, 1, 15, 42, 17.75);
  EXPECT_EQ(newYork.date(9, 0, 0, day), utc(2026, 6, 1, 13, 0));
  const std::int64_t times[][3] = {{24, 0, 0},
                                   {-1, 0, 0},
                                   {9, 60, 0},
                                   {9, 0, 60},
                                   {std::int64_t{1} << 32, 0, 0}};  // would wrap to 0 in 32 bits
  for (const auto& t : times)
    EXPECT_FALSE(newYork.date(t[0], t[1], t[2], day)) << t[0] << ":" << t[1];
  const int dates[][4] = {{2026, 13, 1, 0}, {2026, 4, 31, 0}, {2026, 2, 29, 0}, {2026, 5, 1, 24}};
  for (const auto& d : dates)
    EXPECT_FALSE(newYork.date(d[0], d[1], d[2], d[3])) << d[1] << "/" << d[2];
}

TEST(Calendar, ComponentsAndSameDayFollowTheCalendarsZoneAndWeekdayOneIsSunday) {
  EXPECT_EQ(Calendar("Nowhere/Atlantis").timeZoneID(), "UTC");
  // 23:30 EDT on 1 June, and the morning of that day.
  EXPECT_TRUE(newYork.isSameDay(utc(2026, 6, 2, 3, 30), utc(2026, 6, 1, 13)));
  EXPECT_FALSE(Calendar("UTC").isSameDay(utc(2026, 6, 2, 3, 30), utc(2026, 6, 1, 13)));
  EXPECT_FALSE(newYork.isToday(utc(2026, 6, 2, 4), utc(2026, 6, 1, 13)));
  EXPECT_EQ(newYork.components(utc(2026, 3, 8, 7, 0)), (DateComponents{2026, 3, 8, 3, 0, 0, 1}));
  // A Monday-first locale still numbers weekdays from Sunday.
  EXPECT_EQ(Calendar("Europe/Berlin", "de_DE").weekday(utc(2026, 3, 9, 12)), 2);
  // A locale asking for another calendar system still gets Gregorian years.
  EXPECT_EQ(Calendar("Asia/Bangkok", "th_TH@calendar=buddhist").components(utc(2026, 5, 1, 0)).year,
            2026);
}

TEST(Calendar, StartOfDayIsTheFirstInstantThatExistsAndAddingDaysKeepsTheWallTime) {
  EXPECT_EQ(newYork.startOfDay(utc(2026, 3, 8, 20)), utc(2026, 3, 8, 5));
  EXPECT_EQ(newYork.startOfNextDay(utc(2026, 3, 8, 20)), utc(2026, 3, 9, 4));
  const Date fallBack = utc(2026, 11, 1, 12);  // a 25-hour day
  EXPECT_EQ(newYork.startOfNextDay(fallBack) - newYork.startOfDay(fallBack), 90000.0);
  // Sao Paulo skipped its midnight on 2018-11-04: the day began at 01:00 (-02:00).
  EXPECT_EQ(Calendar("America/Sao_Paulo").startOfDay(utc(2018, 11, 4, 15)), utc(2018, 11, 4, 3));
  EXPECT_EQ(Calendar("America/Sao_Paulo").startOfNextDay(utc(2018, 11, 3, 15)),
            utc(2018, 11, 4, 3));
  // Adding days keeps the wall time.
  EXPECT_EQ(newYork.addingDays(1, utc(2026, 3, 7, 14)), utc(2026, 3, 8, 13))
      << "over spring-forward";
  EXPECT_EQ(newYork.addingDays(1, utc(2026, 3, 7, 7, 30)), utc(2026, 3, 8, 7, 0)) << "into the gap";
  EXPECT_EQ(newYork.addingDays(1, utc(2026, 10, 31, 5, 30)), utc(2026, 11, 1, 5, 30)) << "repeat";
  EXPECT_EQ(newYork.addingWeeks(-2, utc(2026, 3, 17, 14)), utc(2026, 3, 3, 15));
  // Absurd counts do not wrap around to a nearby date.
  EXPECT_GT(newYork.addingDays(INT64_MAX, utc(2026, 1, 1, 0)), utc(2100, 1, 1, 0));
  EXPECT_LT(newYork.addingWeeks(INT64_MIN, utc(2026, 1, 1, 0)), utc(1900, 1, 1, 0));
}

TEST(Calendar, NextDateMatchesTheMinuteStrictlyAfter) {
  const std::tuple<const char*, Date, int, Date> rows[] = {
      {"exactly on it gives the next hour", utc(2026, 1, 15, 15, 30), 30, utc(2026, 1, 15, 16, 30)},
      {"milliseconds before it", utc(2026, 1, 15, 15, 29, 59.25), 30, utc(2026, 1, 15, 15, 30)},
      {"spring-forward: 01:00 EST gives 03:00 EDT", utc(2026, 3, 8, 6, 0), 0,
       utc(2026, 3, 8, 7, 0)},
      {"spring-forward: skipped 02:30 gives 03:00", utc(2026, 3, 8, 6, 45), 30,
       utc(2026, 3, 8, 7, 0)},
      {"fall-back: 01:30 EDT gives 02:00 EST", utc(2026, 11, 1, 5, 30), 0, utc(2026, 11, 1, 7, 0)},
      {"fall-back: second 01:15 gives 02:45 EST", utc(2026, 11, 1, 6, 15), 45,
       utc(2026, 11, 1, 7, 45)},
  };
  for (const auto& [name, after, minute, expected] : rows) {
    EXPECT_EQ(newYork.nextDate(after, minute), expected) << name;
  }
  EXPECT_FALSE(newYork.nextDate(utc(2026, 1, 15, 15), 60));
  EXPECT_FALSE(newYork.nextDate(utc(2026, 1, 15, 15), -1));
}

TEST(Calendar, WeekIntervalCountsCalendarDaysFromTheLocalesFirstWeekday) {
  const Calendar berlin("Europe/Berlin", "de_DE");  // Monday-first
  const std::tuple<const char*, const Calendar*, Date, Date, double> rows[] = {
      {"spring-forward week", &newYork, utc(2026, 3, 11, 12), utc(2026, 3, 8, 5), 601200},
      {"fall-back week", &newYork, utc(2026, 11, 4, 12), utc(2026, 11, 1, 4), 608400},
      {"last instant of a week", &newYork, utc(2026, 6, 14, 3, 59, 59.5), utc(2026, 6, 7, 4),
       604800},
      {"Berlin's spring-forward", &berlin, utc(2026, 3, 25, 12), utc(2026, 3, 22, 23), 601200},
  };
  for (const auto& [name, calendar, inside, start, length] : rows) {
    const DateInterval week = calendar->weekInterval(inside);
    EXPECT_EQ(std::make_pair(week.start, week.duration()), std::make_pair(start, length)) << name;
    EXPECT_TRUE(week.contains(inside)) << name;
  }
}

TEST(Calendar, NonFiniteDatesGiveNoneOrComeBackUnchanged) {
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    const Date date(bad);
    EXPECT_FALSE(newYork.nextDate(date, 0) || newYork.date(9, 0, 0, date) ||
                 newYork.isSameDay(date, date))
        << bad;
    EXPECT_EQ(newYork.components(date), DateComponents{}) << bad;
    for (const Date& result : {newYork.startOfDay(date), newYork.startOfNextDay(date),
                               newYork.addingDays(1, date), newYork.weekInterval(date).start}) {
      EXPECT_TRUE(std::isnan(bad) ? std::isnan(result.timeIntervalSinceReferenceDate())
                                  : result == date);
    }
  }
  // Absurdly far dates still give a date of the right sign, never a wrapped one.
  EXPECT_GT(newYork.startOfDay(Date(1e300)), utc(2200, 1, 1, 0));
  EXPECT_LT(newYork.startOfDay(Date(-1e300)), utc(1800, 1, 1, 0));
}

// ICU's own calendar, with the same policy, is the reference for every local time within a few
// hours of every clock change of these zones, in and beyond the years tabulated (1900-2200).
TEST(Calendar, AgreesWithIcuAroundEveryClockChange) {
  const char* zones[] = {"America/New_York",  "Europe/Berlin",    "Australia/Lord_Howe",
                         "America/Sao_Paulo", "Pacific/Apia",     "Africa/Casablanca",
                         "Antarctica/Troll",  "America/St_Johns", "Asia/Kolkata"};
  constexpr double hourMs = 3600000.0;
  for (const char* zoneID : zones) {
    const Calendar calendar(zoneID, "en_US");
    const std::unique_ptr<icu::Calendar> icu = calendar.makeIcuCalendar();
    // The reference is only as good as the policy it is given.
    ASSERT_TRUE(icu->isLenient() && std::string(icu->getType()) == "gregorian");
    ASSERT_EQ(std::make_pair(icu->getSkippedWallTimeOption(), icu->getRepeatedWallTimeOption()),
              std::make_pair(UCAL_WALLTIME_NEXT_VALID, UCAL_WALLTIME_FIRST));
    const auto& zone = dynamic_cast<const icu::BasicTimeZone&>(icu->getTimeZone());
    UErrorCode status = U_ZERO_ERROR;
    auto icuDate = [&](const DateComponents& c, int hour, int minute, int second) {
      icu->clear();
      icu->set(c.year, c.month - 1, c.day, hour, minute, second);
      return Date::fromUDate(icu->getTime(status));
    };
    int checked = 0;
    icu::TimeZoneTransition transition;
    for (UDate from = Date::fromUnix(-2524521600.0).udate();                                 // 1890
         zone.getNextTransition(from, false, transition) && transition.getTime() < 1.05e13;  // 2302
         from = transition.getTime()) {
      for (double offset = -3 * hourMs; offset <= 3 * hourMs; offset += hourMs / 4) {
        const Date instant = Date::fromUDate(transition.getTime() + offset);
        icu->setTime(instant.udate(), status);
        const DateComponents c{
            icu->get(UCAL_EXTENDED_YEAR, status), icu->get(UCAL_MONTH, status) + 1,
            icu->get(UCAL_DATE, status),          icu->get(UCAL_HOUR_OF_DAY, status),
            icu->get(UCAL_MINUTE, status),        icu->get(UCAL_SECOND, status),
            icu->get(UCAL_DAY_OF_WEEK, status)};
        const std::string where =
            std::string(zoneID) + " near " + std::to_string(instant.unixSeconds());
        ASSERT_EQ(calendar.components(instant), c) << where;
        ASSERT_EQ(calendar.date(c.year, c.month, c.day, c.hour, c.minute, c.second),
                  icuDate(c, c.hour, c.minute, c.second))
            << where;
        // And the skipped or repeated wall times, which no instant shows or shows twice.
        for (int hour = c.hour; hour <= std::min(c.hour + 1, 23); ++hour) {
          for (int minute : {0, 30}) {
            ASSERT_EQ(calendar.date(hour, minute, 0, instant), icuDate(c, hour, minute, 0))
                << where << " " << hour << ":" << minute;
          }
        }
        ASSERT_FALSE(U_FAILURE(status));
        ++checked;
      }
    }
    EXPECT_GT(checked, 100) << zoneID << " has too few clock changes to be a check";
  }
}

TEST(Calendar, CurrentLocaleComesFromLcAllThenLcTimeThenLang) {
  const char* names[] = {"LC_ALL", "LC_TIME", "LANG"};
  std::optional<std::string> saved[3];
  for (int i = 0; i < 3; ++i)
    if (const char* value = std::getenv(names[i])) saved[i] = value;
  auto set = [&](int i, const char* value) {
    value ? setenv(names[i], value, 1) : unsetenv(names[i]);
  };
  const std::array<const char*, 5> rows[] = {
      // LC_ALL, LC_TIME, LANG, expected, name
      {"de_DE.UTF-8", "fr_FR.UTF-8", "en_GB.UTF-8", "de_DE", "LC_ALL wins"},
      {"", "fr_FR.UTF-8", "en_GB.UTF-8", "fr_FR", "empty LC_ALL is skipped"},
      {nullptr, nullptr, "sr_RS@latin", "sr_RS", "LANG last, modifier dropped"},
      {nullptr, nullptr, "C.UTF-8", "en_US_POSIX", "C locale"},
  };
  for (const auto& row : rows) {
    for (int i = 0; i < 3; ++i) set(i, row[i]);
    EXPECT_EQ(Calendar::current().localeID(), row[3]) << row[4];
  }
  for (int i = 0; i < 3; ++i) set(i, saved[i] ? saved[i]->c_str() : nullptr);
}

}  // namespace
}  // namespace vorlane
