// Dates in the styles the windows show, pinned to explicit zones and locales.
#include "foundation/date_formatter.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace vorlane {
namespace {

using Style = DateFormatter::Style;

// 2026-05-29 00:26:00 UTC: Thursday evening in New York, Friday morning in Berlin.
Date instant() { return *Calendar("UTC").date(2026, 5, 29, 0, 26); }

TEST(DateFormatter, WritesEachStyleInTheCalendarsZoneAndLocale) {
  const struct {
    const char* name;
    const char* zone;
    const char* locale;
    Style style;
    std::string expected;
  } rows[] = {
      {"US short time keeps the narrow no-break space", "America/New_York", "en_US",
       Style::shortTime, "8:26\u202FPM"},
      {"US medium date", "America/New_York", "en_US", Style::mediumDate, "May 28, 2026"},
      {"US medium date and short time", "America/New_York", "en_US", Style::mediumDateShortTime,
       "May 28, 2026, 8:26\u202FPM"},
      {"US full date", "America/New_York", "en_US", Style::fullDate, "Thursday, May 28, 2026"},
      {"same instant, next day in Berlin", "Europe/Berlin", "en_US", Style::fullDate,
       "Friday, May 29, 2026"},
      {"British short time", "Europe/London", "en_GB", Style::shortTime, "01:26"},
      {"British medium date", "Europe/London", "en_GB", Style::mediumDate, "29 May 2026"},
      {"British full date", "Europe/London", "en_GB", Style::fullDate, "Friday, 29 May 2026"},
      {"German short time", "Europe/Berlin", "de_DE", Style::shortTime, "02:26"},
      {"German medium date and short time", "Europe/Berlin", "de_DE", Style::mediumDateShortTime,
       "29.05.2026, 02:26"},
      {"German full date", "Europe/Berlin", "de_DE", Style::fullDate, "Freitag, 29. Mai 2026"},
      // The Thai locale's own calendar is Buddhist (2569); ours stays Gregorian.
      {"Thai year stays Gregorian", "Asia/Bangkok", "th_TH", Style::mediumDate,
       "29 \u0E1E.\u0E04. 2026"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const DateFormatter formatter(Calendar(row.zone, row.locale), row.style);
    EXPECT_EQ(formatter.format(instant()), row.expected);
  }
}

TEST(DateFormatter, FollowsTheZonesRulesAcrossAClockChange) {
  const Calendar newYork("America/New_York", "en_US");
  const DateFormatter formatter(newYork, Style::shortTime);
  // 2026-03-08: 06:59 UTC is 1:59 EST, 07:00 UTC is 3:00 EDT.
  const Date before = *Calendar("UTC").date(2026, 3, 8, 6, 59);
  EXPECT_EQ(formatter.format(before), "1:59\u202FAM");
  EXPECT_EQ(formatter.format(before + 60), "3:00\u202FAM");
}

TEST(DateFormatter, GivesNothingForADateThatIsNotFinite) {
  const DateFormatter formatter(Calendar("UTC", "en_US"), Style::mediumDateShortTime);
  EXPECT_EQ(formatter.format(Date(std::numeric_limits<double>::quiet_NaN())), "");
  EXPECT_EQ(formatter.format(Date(std::numeric_limits<double>::infinity())), "");
}

}  // namespace
}  // namespace vorlane
