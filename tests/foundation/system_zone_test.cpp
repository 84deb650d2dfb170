#include "foundation/system_zone.h"

#include <gtest/gtest.h>
#include <time.h>
#include <unicode/calendar.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "foundation/calendar.h"
#include "foundation/posix_zone_rule.h"
#include "foundation/text.h"

namespace vorlane {
namespace {

// Sets $TZ for the C library for the life of the object.
class ScopedTz {
 public:
  explicit ScopedTz(const char* value) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    value ? setenv("TZ", value, 1) : unsetenv("TZ");
    tzset();
  }
  ~ScopedTz() {
    saved_ ? setenv("TZ", saved_->c_str(), 1) : unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> saved_;
};

Date unix(time_t seconds) { return Date::fromUnix(static_cast<double>(seconds)); }

// The C library's local time of an instant in the zone $TZ names.
DateComponents systemComponents(time_t seconds) {
  tm local{};
  localtime_r(&seconds, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,    local.tm_hour,
          local.tm_min,         local.tm_sec,     local.tm_wday + 1};
}

std::string systemText(time_t seconds) {
  tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

// A date as an ICU formatter given the calendar's ICU calendar shows it.
std::string icuText(const Calendar& calendar, Date date) {
  UErrorCode status = U_ZERO_ERROR;
  icu::SimpleDateFormat format(icu::UnicodeString(u"yyyy-MM-dd HH:mm"), icu::Locale("en_US"),
                               status);
  format.adoptCalendar(calendar.makeIcuCalendar().release());
  icu::UnicodeString text;
  return toUtf8(format.format(date.udate(), text));
}

time_t unixAt(int year, int month, int day) {
  tm utc{};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  return timegm(&utc);
}

// Every half hour of a year (every 15 minutes on each change day), the calendar's local time,
// the time its ICU formatters show and the wall time placed back agree with the C library's
// answer from the same database. Years after 2037 lie past the changes the files list and
// follow each file's own rule (Lord Howe's "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", Santiago's
// changes at 24:00, Mexico City's "CST6").
TEST(SystemZone, LocalTimesAgreeWithTheCLibraryThroughAYear) {
  const std::pair<const char*, int> rows[] = {
      {"America/Mexico_City", 2026},  // no summer time since 2022
      {"Asia/Almaty", 2024},          // from +06 to +05 on 1 March
      {"America/New_York", 2026},    {"Europe/London", 2026},
      {"America/Santiago", 2026},     // clocks go forward at midnight
      {"Australia/Lord_Howe", 2026},  // half-hour changes
      {"America/New_York", 2045},    {"Europe/London", 2045},
      {"America/Santiago", 2045},    {"Australia/Lord_Howe", 2045},
      {"Africa/Cairo", 2045},   // changes at 24:00
      {"America/Nuuk", 2045},   // changes at -01:00
      {"Europe/Dublin", 2045},  // summer time written as the standard
  };
  for (const auto& [zone, year] : rows) {
    const ScopedTz tz(zone);
    const Calendar calendar(zone, "en_US");
    const std::string where = std::string(zone) + " " + std::to_string(year) + " at ";
    const auto offset = [](time_t t) {
      tm local{};
      return localtime_r(&t, &local)->tm_gmtoff;
    };
    for (time_t t = unixAt(year, 1, 1); t < unixAt(year + 1, 1, 1); t += 900) {
      if (t % 1800 != 0 && offset(t - t % 86400) == offset(t - t % 86400 + 86400)) continue;
      const DateComponents expected = systemComponents(t);
      ASSERT_EQ(calendar.components(unix(t)), expected) << where << t;
      const std::optional<Date> placed = calendar.date(expected.year, expected.month, expected.day,
                                                       expected.hour, expected.minute);
      // A repeated wall time gives its first occurrence, at most one change earlier.
      ASSERT_TRUE(placed && *placed <= unix(t) && unix(t) - *placed <= 7200) << where << t;
      ASSERT_EQ(calendar.components(*placed), expected) << where << t;
      if (t % 86400 == 43200) {
        ASSERT_EQ(icuText(calendar, unix(t)), systemText(t)) << where << t;
      }
    }
  }
}

TEST(SystemZone, MexicoCityInJulyIsSixHoursBehindUtcInTheShortTimeToo) {
  const Calendar mexicoCity("America/Mexico_City", "en_US");
  const time_t noonUtc = unixAt(2026, 7, 1) + 12 * 3600;
  const ScopedTz tz("America/Mexico_City");
  ASSERT_EQ(systemComponents(noonUtc).hour, 6) << "the system's database predates 2022";
  EXPECT_EQ(mexicoCity.hour(unix(noonUtc)), 6);
  EXPECT_EQ(icuText(mexicoCity, unix(noonUtc)), "2026-07-01 06:00");
}

TEST(SystemZone, SantiagosSkippedMidnightStartsTheDayAtOne) {
  const Calendar santiago("America/Santiago", "en_US");
  const ScopedTz tz("America/Santiago");
  const time_t start =
      static_cast<time_t>(santiago.startOfDay(unix(unixAt(2026, 9, 6) + 18 * 3600)).unixSeconds());
  EXPECT_EQ(systemComponents(start), (DateComponents{2026, 9, 6, 1, 0, 0, 1}));
  EXPECT_EQ(systemComponents(start - 1), (DateComponents{2026, 9, 5, 23, 59, 59, 7}));
  EXPECT_EQ(santiago.date(2026, 9, 6, 0, 30), unix(start)) << "a skipped time gives the change";
}

TEST(SystemZone, AZoneTheSystemLacksFallsBackToIcuAndIsReportedOnce) {
  // "AET" is an old three-letter alias ICU still knows and the system's database does not.
  ASSERT_NE(access("/usr/share/zoneinfo/AET", F_OK), 0);
  std::vector<std::string> reported;
  setZoneFallbackObserver([&](const std::string& id) { reported.push_back(id); });
  const Calendar first("AET", "en_US");
  const Calendar second("AET", "de_DE");
  const Calendar unknown("Nowhere/Lemuria", "en_US");
  const Calendar known("Asia/Almaty", "en_US");
  setZoneFallbackObserver(nullptr);
  EXPECT_EQ(reported, std::vector<std::string>{"AET"});

  EXPECT_EQ(first.timeZoneID(), "AET");
  EXPECT_EQ(unknown.timeZoneID(), "UTC");
  const std::unique_ptr<icu::TimeZone> icuZone(
      icu::TimeZone::createTimeZone(icu::UnicodeString(u"AET")));
  for (const time_t t : {unixAt(2026, 1, 15), unixAt(2026, 7, 15)}) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0;
    int32_t dst = 0;
    icuZone->getOffset(unix(t).udate(), false, raw, dst, status);
    const DateComponents local = first.components(unix(t));
    EXPECT_EQ(local.hour * 3600 + local.minute * 60, (raw + dst) / 1000) << t;
    EXPECT_EQ(icuText(second, unix(t)).substr(11), icuText(first, unix(t)).substr(11)) << t;
  }
}

TEST(SystemZone, TheUsersZoneComesFromTzElseEtcLocaltime) {
  const std::pair<const char*, const char*> rows[] = {
      {"America/Mexico_City", "America/Mexico_City"},
      {":Asia/Almaty", "Asia/Almaty"},
      {"/usr/share/zoneinfo/Europe/London", "Europe/London"},
      {"", "UTC"},
  };
  for (const auto& [tz, expected] : rows) {
    const ScopedTz scoped(tz);
    EXPECT_EQ(Calendar::current().timeZoneID(), expected) << tz;
  }
  const ScopedTz unset(nullptr);
  char target[512] = {};
  const ssize_t length = readlink("/etc/localtime", target, sizeof target - 1);
  if (length <= 0) GTEST_SKIP() << "/etc/localtime is not a link to a zone file";
  const std::string link(target, static_cast<std::size_t>(length));
  EXPECT_EQ(Calendar::current().timeZoneID(), link.substr(link.rfind("zoneinfo/") + 9));
}

// Real zones' rules are checked against the C library above; these are the forms none uses.
TEST(PosixZoneRule, ReadsJulianDaysAndNegativeTimesAndRefusesBrokenRules) {
  using Form = detail::PosixChangeDay::Form;
  const auto julian = detail::parsePosixZoneRule("XST3XDT2:30,J60/-1:30,300");
  ASSERT_TRUE(julian && julian->daylight);
  EXPECT_EQ(julian->daylight->offset, -9000);
  EXPECT_EQ(julian->daylight->start,
            (detail::PosixChangeDay{Form::julianNoLeap, 0, 0, 0, 60, -5400}));
  EXPECT_EQ(julian->daylight->end,
            (detail::PosixChangeDay{Form::zeroBasedDay, 0, 0, 0, 300, 7200}));
  for (const char* bad :
       {"", "ES5", "EST", "EST5EDT", "EST5EDT,M3.2.0", "EST5EDT,M13.2.0,M11.1.0",
        "EST5EDT,M3.6.0,M11.1.0", "EST5EDT,J0,J300", "<+05-5", "EST5EDT,M3.2.0,M11.1.0x"}) {
    EXPECT_FALSE(detail::parsePosixZoneRule(bad)) << bad;
  }
}

}  // namespace
}  // namespace vorlane
