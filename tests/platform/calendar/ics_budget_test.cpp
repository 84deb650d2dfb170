#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/calendar/ics_events.h"

namespace vorlane {
namespace {

const Calendar utc("UTC");
// Monday 2 March 2026 to the next Monday.
const DateInterval week{*utc.date(2026, 3, 2), *utc.date(2026, 3, 9)};

Date at(int day, int hour) { return *utc.date(2026, 3, day, hour); }

std::string event(const std::string& uid, const std::string& lines) {
  return "BEGIN:VEVENT\nUID:" + uid + "\n" + lines + "END:VEVENT\n";
}

// A daily stand-up counted from eleven years back, and a single meeting, both after the
// hostile part.
const std::string realMeetings =
    event("standup", "DTSTART:20150302T150000Z\nDTEND:20150302T160000Z\n"
                     "RRULE:FREQ=DAILY;COUNT=5000\n") +
    event("single", "DTSTART:20260304T150000Z\nDTEND:20260304T160000Z\n");

std::string file(const std::string& body) {
  return "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Vorlane tests//EN\n" + body + realMeetings +
         "END:VCALENDAR\n";
}

std::string repeated(int times, const std::string& uid, const std::string& lines) {
  std::string body;
  for (int i = 0; i < times; ++i) body += event(uid + std::to_string(i), lines);
  return body;
}

// `count` values of a property, half an hour apart from 2025-03-02 10:00 UTC.
std::string halfHourly(const char* name, int count) {
  std::string lines;
  const Date first = *utc.date(2025, 3, 2, 10);
  for (int i = 0; i < count; ++i) {
    const DateComponents c = utc.components(first + 1800.0 * i);
    char text[48];
    std::snprintf(text, sizeof text, "%s:%04d%02d%02dT%02d%02d00Z\n", name, c.year, c.month,
                  c.day, c.hour, c.minute);
    lines += text;
  }
  return lines;
}

std::string crowdedZone(int observances) {
  std::string zone = "BEGIN:VTIMEZONE\nTZID:Crowded\n";
  for (int i = 0; i < observances; ++i) {
    zone += "BEGIN:STANDARD\nDTSTART:19700101T000000\nTZOFFSETFROM:+0100\nTZOFFSETTO:+0100\n"
            "RRULE:FREQ=YEARLY;BYMONTH=" + std::to_string(i % 12 + 1) + "\nEND:STANDARD\n";
  }
  return zone + "END:VTIMEZONE\n" +
         event("zoned", "DTSTART;TZID=Crowded:20260302T100000\nDURATION:PT1H\n");
}

bool holds(const std::vector<BusyInterval>& busy, Date start, Date end) {
  return std::find(busy.begin(), busy.end(), BusyInterval{start, end}) != busy.end();
}

TEST(IcsBudget, HostileRulesEndTheirReadAndLaterMeetingsStillCount) {
  const std::pair<const char*, std::string> rows[] = {
      {"a day position under an hourly rule",
       event("h", "DTSTART:20260301T090000Z\nDURATION:PT1H\nRRULE:FREQ=HOURLY;BYDAY=2SU\n")},
      {"a day position under minutely and daily rules",
       repeated(50, "p", "DTSTART:20260301T090000Z\nDURATION:PT1H\nRRULE:FREQ=MINUTELY;BYDAY=-1FR\n"
                         "RRULE:FREQ=DAILY;BYDAY=2SU\n")},
      {"an hourly rule whose interval never meets its hour",
       repeated(50, "i", "DTSTART:20260301T090000Z\nDURATION:PT1H\n"
                         "RRULE:FREQ=HOURLY;INTERVAL=24;BYHOUR=5\n")},
      {"daily on 30 February",
       repeated(200, "f", "DTSTART:20260301T090000Z\nDURATION:PT1H\n"
                          "RRULE:FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30\n")},
      {"every minute for three years with 400 excluded dates",
       event("m", "DTSTART:20230302T000000Z\nDURATION:PT1M\nRRULE:FREQ=MINUTELY;COUNT=1500000\n" +
                      halfHourly("EXDATE", 400))},
      {"every second of the week", event("s", "DTSTART:20260302T000000Z\nDURATION:PT1S\n"
                                              "RRULE:FREQ=SECONDLY\n")},
      {"a thousand events every seven minutes",
       repeated(1000, "e", "DTSTART:20260201T000000Z\nDURATION:PT1M\n"
                           "RRULE:FREQ=MINUTELY;INTERVAL=7\n")},
      {"20,000 added dates", event("r", "DTSTART:20250302T100000Z\nDURATION:PT30M\n" +
                                            halfHourly("RDATE", 20000))},
      {"20,000 excluded dates",
       event("x", "DTSTART:20250302T100000Z\nDURATION:PT30M\nRRULE:FREQ=DAILY\n" +
                      halfHourly("EXDATE", 20000))},
      {"a zone with 2,000 observances", crowdedZone(2000)},
      {"700 finished counted series",
       repeated(700, "c", "DTSTART:20250701T090000Z\nDURATION:PT1H\nRRULE:FREQ=HOURLY;COUNT=3\n")},
  };
  for (const auto& [name, body] : rows) {
    const std::vector<BusyInterval> busy =
        busyIntervalsInIcs(file(body), week, IcsReadOptions{std::nullopt, utc});
    EXPECT_TRUE(holds(busy, at(2, 15), at(2, 16))) << name << ": the stand-up";
    EXPECT_TRUE(holds(busy, at(4, 15), at(4, 16))) << name << ": the single meeting";
  }
}

TEST(IcsBudget, AddedAndExcludedDatesStillApplyInBulk) {
  // Every half hour from a year back: the week holds 336 of them, 10:00 daily among them.
  const auto busy = [](const std::string& lines) {
    return busyIntervalsInIcs(file(event("d", "DTSTART:20250302T100000Z\nDURATION:PT30M\n" + lines)),
                              week, IcsReadOptions{std::nullopt, utc});
  };
  EXPECT_EQ(busy(halfHourly("RDATE", 20000)).size(), 336u + 8);
  EXPECT_EQ(busy("RRULE:FREQ=DAILY\nEXDATE:20260303T100000Z\nEXDATE;VALUE=DATE:20260305\n").size(),
            5u + 8);
}

TEST(IcsBudget, OrdinaryLongLivedCalendarsAreReadInFull) {
  // 200 weekly meetings begun up to eight years ago, a quarter of them off this Monday, 50
  // counted series still running, 400 past single events and one this week.
  std::string body;
  std::size_t expected = 8;  // the real meetings
  for (int i = 0; i < 200; ++i) {
    const DateComponents c = utc.components(at(2, 8 + i % 8) - 7 * 86400.0 * (i * 2 + 1));
    char start[40];
    std::snprintf(start, sizeof start, "DTSTART:%04d%02d%02dT%02d0000Z\n", c.year, c.month, c.day,
                  c.hour);
    std::string lines = std::string(start) + "DURATION:PT30M\nRRULE:FREQ=WEEKLY\n";
    lines += "EXDATE:20250106T" + std::to_string(10 + i % 8) + "0000Z\n";
    if (i % 4 == 0) {
      lines += "EXDATE:20260302T" + std::string(i % 8 < 2 ? "0" : "") + std::to_string(8 + i % 8) +
               "0000Z\n";
    } else {
      ++expected;
    }
    body += event("w" + std::to_string(i), lines);
  }
  body += repeated(50, "n", "DTSTART:20180305T070000Z\nDURATION:PT1H\nRRULE:FREQ=WEEKLY;COUNT=500\n");
  expected += 50;
  body += repeated(400, "o", "DTSTART:20240105T070000Z\nDURATION:PT1H\n");
  body += event("now", "DTSTART:20260306T070000Z\nDURATION:PT1H\n");
  ++expected;
  EXPECT_EQ(busyIntervalsInIcs(file(body), week, IcsReadOptions{std::nullopt, utc}).size(),
            expected);
}

TEST(IcsBudget, RunningOutOfTimeEndsTheReadWithWhatCameBefore) {
  std::string body = event("first", "DTSTART:20260303T090000Z\nDURATION:PT1H\n");
  body += repeated(300, "late", "DTSTART:20260305T090000Z\nDURATION:PT1H\n");
  IcsReadOptions options{std::nullopt, utc};
  options.timeLimit = std::chrono::seconds(0);
  const std::vector<BusyInterval> busy = busyIntervalsInIcs(file(body), week, options);
  EXPECT_TRUE(holds(busy, at(3, 9), at(3, 10)));
  EXPECT_LT(busy.size(), 300u);
}

}  // namespace
}  // namespace vorlane
