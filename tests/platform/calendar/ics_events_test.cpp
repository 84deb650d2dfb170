#include "platform/calendar/ics_events.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/platform/calendar/crowded_time_zone.h"

namespace vorlane {
namespace {

// Long enough that only the step budgets end a read, however slow the machine.
constexpr std::chrono::seconds noTimeLimit{120};

const Calendar newYork("America/New_York");
const Calendar utc("UTC");
using Busy = std::vector<BusyInterval>;

Date ny(int month, int day, int hour = 0, int minute = 0) {
  return *newYork.date(2026, month, day, hour, minute);
}
Date z(int month, int day, int hour, int minute = 0) {
  return *utc.date(2026, month, day, hour, minute);
}
std::string calendar(const std::string& body) {
  return "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Vorlane tests//EN\n" + body + "END:VCALENDAR\n";
}
// The UID defaults to one derived from the lines, so distinct events stay distinct.
std::string event(const std::string& lines, std::string uid = "") {
  if (uid.empty()) uid = std::to_string(std::hash<std::string>{}(lines));
  return "BEGIN:VEVENT\nUID:" + uid + "\n" + lines + "END:VEVENT\n";
}
std::string repeated(int times, const std::string& prefix, const std::string& lines) {
  std::string body;
  for (int i = 0; i < times; ++i) body += event(lines, prefix + std::to_string(i));
  return body;
}
Busy busyIn(const std::string& body, DateInterval range) {
  return busyIntervalsInIcs(calendar(body), range, IcsReadOptions{"ann@example.org", newYork});
}

TEST(IcsEvents, EachFilterDropsItsEventsAndOnlyThose) {
  const std::string hour = "DTSTART:20260302T150000Z\nDTEND:20260302T160000Z\n";
  const Busy busy{{z(3, 2, 15), z(3, 2, 16)}}, none;
  const std::tuple<const char*, std::string, Busy> rows[] = {
      {"a plain meeting", hour, busy},
      {"cancelled", hour + "STATUS:CANCELLED\n", none},
      {"tentative still counts", hour + "STATUS:TENTATIVE\n", busy},
      {"shown as free", hour + "TRANSP:TRANSPARENT\n", none},
      {"declined by the user",
       hour + "ATTENDEE;PARTSTAT=ACCEPTED:mailto:bob@example.org\n"
              "ATTENDEE;PARTSTAT=DECLINED:MAILTO:Ann@Example.ORG\n",
       none},
      {"declined by another", hour + "ATTENDEE;PARTSTAT=DECLINED:mailto:bob@example.org\n", busy},
      {"no start", "DTEND:20260302T160000Z\n", none},
      {"zero length", "DTSTART:20260302T150000Z\nDTEND:20260302T150000Z\n", none},
      {"reversed", "DTSTART:20260302T160000Z\nDTEND:20260302T150000Z\n", none},
      {"no end and no duration", "DTSTART:20260302T150000Z\n", none},
      {"end and duration both given", hour + "DURATION:PT1H\n", none},
      {"a duration",
       "DTSTART:20260302T150000Z\nDURATION:PT45M\n",
       {{z(3, 2, 15), z(3, 2, 15, 45)}}},
      {"began before the range",
       "DTSTART:20260301T230000Z\nDTEND:20260302T060000Z\n",
       {{z(3, 1, 23), z(3, 2, 6)}}},
      {"after the range", "DTSTART:20260303T150000Z\nDTEND:20260303T160000Z\n", none},
      {"ends as the range begins", "DTSTART:20260302T040000Z\nDTEND:20260302T050000Z\n", none},
      {"all day", "DTSTART;VALUE=DATE:20260302\n", {{ny(3, 2), ny(3, 3)}}},
      {"floating time in the user's zone",
       "DTSTART:20260302T100000\nDTEND:20260302T110000\n",
       {{ny(3, 2, 10), ny(3, 2, 11)}}},
      {"zone from the system's data",
       "DTSTART;TZID=Asia/Tokyo:20260303T000000\nDTEND;TZID=Asia/Tokyo:20260303T010000\n", busy},
      {"unknown zone read as floating",
       "DTSTART;TZID=Nowhere/X:20260302T100000\nDTEND;TZID=Nowhere/X:20260302T110000\n",
       {{ny(3, 2, 10), ny(3, 2, 11)}}},
  };
  for (const auto& [name, lines, expected] : rows) {
    EXPECT_EQ(busyIn(event(lines), {ny(3, 2), ny(3, 3)}), expected) << name;
  }
}

const std::string newYorkZone =
    "BEGIN:VTIMEZONE\nTZID:America/New_York\nBEGIN:DAYLIGHT\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\n"
    "TZNAME:EDT\nDTSTART:19700308T020000\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\nEND:DAYLIGHT\n"
    "BEGIN:STANDARD\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\nTZNAME:EST\nDTSTART:19701101T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\nEND:STANDARD\nEND:VTIMEZONE\n";

// A weekly stand-up across the start of daylight saving time (8 March), with the 16 March
// meeting excluded and the 23 March one moved to the afternoon.
std::string standUp(const std::string& zone, const std::string& overrideExtra = "") {
  const std::string tz = zone.empty() ? "" : ";TZID=" + zone;
  return event("DTSTART" + tz + ":20260302T100000\nDTEND" + tz +
                   ":20260302T103000\n"
                   "RRULE:FREQ=WEEKLY;COUNT=5\nEXDATE" +
                   tz + ":20260316T100000\n",
               "standup") +
         event("RECURRENCE-ID" + tz + ":20260323T100000\nDTSTART" + tz +
                   ":20260323T140000\n"
                   "DTEND" +
                   tz + ":20260323T150000\n" + overrideExtra,
               "standup");
}

TEST(IcsEvents, WeeklyMeetingKeepsItsLocalTimeAcrossDaylightSavingWithExceptionAndOverride) {
  Busy expected{
      {ny(3, 2, 10), ny(3, 2, 10, 30)},
      {ny(3, 9, 10), ny(3, 9, 10, 30)},  // an hour earlier in UTC: daylight time
      {ny(3, 30, 10), ny(3, 30, 10, 30)},
      {ny(3, 23, 14), ny(3, 23, 15)},  // the moved meeting, as its own event
  };
  ASSERT_EQ(expected[1].start - expected[0].start, 7 * 86400.0 - 3600.0);
  const std::pair<const char*, std::string> rows[] = {
      {"zone defined in the file", newYorkZone + standUp("America/New_York")},
      {"zone from the system's data", standUp("America/New_York")},
      {"floating times in the user's zone", standUp("")},
  };
  for (const auto& [name, text] : rows) {
    EXPECT_EQ(busyIn(text, {ny(3, 1), ny(4, 1)}), expected) << name;
  }
  expected.pop_back();
  EXPECT_EQ(busyIn(standUp("America/New_York", "STATUS:CANCELLED\n"), {ny(3, 1), ny(4, 1)}),
            expected)
      << "a cancelled override removes that occurrence only";
  // All-day occurrences last calendar days: 8 March has 23 hours in New York.
  EXPECT_EQ(busyIn(event("DTSTART;VALUE=DATE:20260307\nRRULE:FREQ=DAILY;COUNT=3\n"),
                   {ny(3, 1), ny(3, 31)}),
            (Busy{{ny(3, 7), ny(3, 8)}, {ny(3, 8), ny(3, 9)}, {ny(3, 9), ny(3, 10)}}));
  ASSERT_EQ(ny(3, 9) - ny(3, 8), 23 * 3600.0);
}

// Regression: hostile files hung or crashed the reader. Each gives what can be read of it.
TEST(IcsEvents, BrokenAndHostileTextGivesWhatCanBeReadWithoutFailing) {
  const std::string good = event("DTSTART:20260302T150000Z\nDTEND:20260302T160000Z\n");
  std::string nested = "BEGIN:VCALENDAR\n", foldedNesting = nested, binary(4096, '\0');
  for (int i = 0; i < 100000; ++i) nested += "BEGIN:VEVENT\n";
  for (int i = 0; i < 100000; ++i) foldedNesting += "BEG\n IN:VEVENT\n";
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = char(i * 37 % 256);
  // A counted rule is walked from its first occurrence, however far back, unless it steps
  // by a fixed period.
  std::string everySecondOfTheDay = "BYHOUR=0";
  for (int i = 1; i < 24; ++i) everySecondOfTheDay += "," + std::to_string(i);
  for (const char* unit : {";BYMINUTE=0", ";BYSECOND=0"}) {
    everySecondOfTheDay += unit;
    for (int i = 1; i < 60; ++i) everySecondOfTheDay += "," + std::to_string(i);
  }
  const auto everyMinuteSince2023 = [&](const std::string& count, int second) {
    return event(
        "DTSTART:20230401T00000" + std::to_string(second) + "Z\nDURATION:PT1S\nRRULE:FREQ=DAILY;" +
        everySecondOfTheDay.substr(0, everySecondOfTheDay.find(";BYSECOND")) + ";" + count + "\n");
  };
  const std::tuple<const char*, std::string, std::size_t> rows[] = {
      {"empty", "", 0},
      {"not a calendar", "hello, world\n", 0},
      {"binary", binary, 0},
      {"deeply nested", nested, 0},
      {"deeply nested through folded lines", foldedNesting, 0},
      {"cut off in the second event", "BEGIN:VCALENDAR\n" + good + "BEGIN:VEVENT\nDTSTART:20", 1},
      {"garbage properties around a good event",
       calendar("X-WHAT;;;=:\n" + good + "DTSTART:nonsense\nBEGIN:VTODO\n"), 1},
      {"an impossible date", calendar(event("DTSTART:20261345T990000Z\nDURATION:PT1H\n")), 0},
      {"a rule firing every second",
       calendar(event("DTSTART:20200101T000000Z\nDURATION:PT1S\nRRULE:FREQ=SECONDLY\n")), 3600},
      // Its walk starts at the range: every second of the hour is busy.
      {"a counted rule firing every second for decades",
       calendar(good + event("DTSTART:20000101T000000Z\nDURATION:PT1S\n"
                             "RRULE:FREQ=SECONDLY;COUNT=2000000000\n")),
       1 + 3600},
      {"a counted daily rule at every second of the day since 1900",
       calendar(good + event("DTSTART:19000101T000000Z\nDURATION:PT1S\nRRULE:FREQ=DAILY;" +
                             everySecondOfTheDay + ";COUNT=2000000000\n")),
       1},
      {"a minutely rule on a day that never comes",
       calendar(good + event("DTSTART:20260101T000000Z\nDURATION:PT1S\n"
                             "RRULE:FREQ=MINUTELY;BYMONTH=2;BYMONTHDAY=30\n")),
       1},
      {"a counted weekly meeting since 2010",
       calendar(event("DTSTART:20100301T150000Z\nDTEND:20100301T160000Z\n"
                      "RRULE:FREQ=WEEKLY;BYDAY=MO;COUNT=1000\n")),
       1},
      // Each under the limit for one event, together over the limit for one file.
      {"many costly rules in one file",
       calendar(good + everyMinuteSince2023("COUNT=10", 1) + everyMinuteSince2023("COUNT=10", 2) +
                everyMinuteSince2023("COUNT=2000000000", 3)),
       1},
      // Read as that zone (+01:00) it would overlap; as floating New York time it does not.
      {"a time zone changing every hour is not used",
       calendar("BEGIN:VTIMEZONE\nTZID:Runaway\nBEGIN:STANDARD\nDTSTART:20260101T000000\n"
                "TZOFFSETFROM:+0100\nTZOFFSETTO:+0100\nRRULE:FREQ=HOURLY\nEND:STANDARD\n"
                "END:VTIMEZONE\n" +
                event("DTSTART;TZID=Runaway:20260302T160000\nDURATION:PT1H\n")),
       0},
  };
  for (const auto& [name, text, expected] : rows) {
    // The step budget, not the clock, must decide here: a loaded test machine is slow.
    const Busy busy = busyIntervalsInIcs(text, {z(3, 2, 15), z(3, 2, 16)},
                                         IcsReadOptions{"ann@example.org", newYork, noTimeLimit});
    EXPECT_EQ(busy.size(), expected) << name;
  }
}

// The file's budget: Monday 2 March 2026 to the next Monday, read in UTC, with a daily
// stand-up counted from eleven years back and a single meeting after the costly part.
const DateInterval week{z(3, 2, 0), z(3, 9, 0)};
const std::string realMeetings =
    event("DTSTART:20150302T150000Z\nDTEND:20150302T160000Z\nRRULE:FREQ=DAILY;COUNT=5000\n") +
    event("DTSTART:20260304T150000Z\nDTEND:20260304T160000Z\n");
Busy weekOf(const std::string& body, IcsReadOptions options = {std::nullopt, utc, noTimeLimit}) {
  return busyIntervalsInIcs(calendar(body + realMeetings), week, options);
}
bool holds(const Busy& busy, const BusyInterval& stretch) {
  return std::find(busy.begin(), busy.end(), stretch) != busy.end();
}
// `count` values of a property, half an hour apart from 2025-03-02 10:00 UTC.
std::string halfHourly(const char* name, int count) {
  std::string lines;
  for (int i = 0; i < count; ++i) {
    const DateComponents c = utc.components(*utc.date(2025, 3, 2, 10) + 1800.0 * i);
    char text[48];
    std::snprintf(text, sizeof text, "%s:%04d%02d%02dT%02d%02d00Z\n", name, c.year, c.month, c.day,
                  c.hour, c.minute);
    lines += text;
  }
  return lines;
}
std::string crowdedZone(int observances) {
  return crowdedTimeZone(observances) +
         event("DTSTART;TZID=Crowded:20260302T100000\nDURATION:PT1H\n");
}

// Regression: one costly rule used up the file's budget and later meetings went missing.
// Where a row gives a count, bulk added and excluded dates must still apply in full.
TEST(IcsBudget, HostileRulesEndTheirReadAndLaterMeetingsStillCount) {
  const std::string hourly = "DTSTART:20260301T090000Z\nDURATION:PT1H\n";
  const std::string fromAYearBack = "DTSTART:20250302T100000Z\nDURATION:PT30M\n";
  const std::tuple<const char*, std::string, std::optional<std::size_t>> rows[] = {
      {"a day position under an hourly rule", event(hourly + "RRULE:FREQ=HOURLY;BYDAY=2SU\n"), {}},
      {"a day position under minutely and daily rules",
       repeated(50, "p", hourly + "RRULE:FREQ=MINUTELY;BYDAY=-1FR\nRRULE:FREQ=DAILY;BYDAY=2SU\n"),
       {}},
      {"an hourly rule whose interval never meets its hour",
       repeated(50, "i", hourly + "RRULE:FREQ=HOURLY;INTERVAL=24;BYHOUR=5\n"),
       {}},
      {"daily on 30 February",
       repeated(200, "f", hourly + "RRULE:FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30\n"),
       {}},
      {"every minute for three years with 400 excluded dates",
       event("DTSTART:20230302T000000Z\nDURATION:PT1M\nRRULE:FREQ=MINUTELY;COUNT=1500000\n" +
             halfHourly("EXDATE", 400)),
       {}},
      {"every second of the week",
       event("DTSTART:20260302T000000Z\nDURATION:PT1S\nRRULE:FREQ=SECONDLY\n"),
       {}},
      {"a thousand events every seven minutes",
       repeated(1000, "e",
                "DTSTART:20260201T000000Z\nDURATION:PT1M\nRRULE:FREQ=MINUTELY;INTERVAL=7\n"),
       {}},
      {"700 finished counted series",
       repeated(700, "c", "DTSTART:20250701T090000Z\nDURATION:PT1H\nRRULE:FREQ=HOURLY;COUNT=3\n"),
       {}},
      {"a zone with 2,000 observances", crowdedZone(2000), {}},
      // Every half hour from a year back: the week holds 336 of them.
      {"20,000 added dates", event(fromAYearBack + halfHourly("RDATE", 20000)), 336 + 8},
      {"20,000 excluded dates",
       event(fromAYearBack + "RRULE:FREQ=DAILY\n" + halfHourly("EXDATE", 20000)), 8},
      {"excluded date and day",
       event(fromAYearBack + "RRULE:FREQ=DAILY\nEXDATE:20260303T100000Z\n"
                             "EXDATE;VALUE=DATE:20260305\n"),
       5 + 8},
  };
  for (const auto& [name, body, count] : rows) {
    const Busy busy = weekOf(body);
    EXPECT_TRUE(holds(busy, {z(3, 2, 15), z(3, 2, 16)})) << name << ": the stand-up";
    EXPECT_TRUE(holds(busy, {z(3, 4, 15), z(3, 4, 16)})) << name << ": the single meeting";
    EXPECT_EQ(busy.size(), count.value_or(busy.size())) << name;
  }
}

// Regression: a recurring event of no length was walked second by second, for nothing, and
// its walk could use up the file's budget before events that count.
TEST(IcsBudget, RecurringEventsOfNoLengthCostNothing) {
  const std::string everySecond = "DTSTART:20260302T000000Z\nRRULE:FREQ=SECONDLY\n";
  IcsReadOptions options{std::nullopt, utc};
  options.timeLimit = noTimeLimit;
  const Busy busy = busyIntervalsInIcs(
      calendar(repeated(6, "empty", everySecond + "DURATION:PT0S\n") +
               repeated(2, "ends at its start", everySecond + "DTEND:20260302T000000Z\n") +
               event(everySecond + "DURATION:PT1S\n", "counts")),
      {z(3, 2, 12), z(3, 2, 13)}, options);
  ASSERT_EQ(busy.size(), 3600u);
  EXPECT_EQ(busy.front(), (BusyInterval{z(3, 2, 12), z(3, 2, 12) + 1.0}));
}

TEST(IcsBudget, OrdinaryLongLivedCalendarsAreReadInFull) {
  // 200 weekly meetings begun up to eight years ago, a quarter of them off this Monday, 50
  // counted series still running, 400 past single events and one this week.
  std::string body;
  std::size_t expected = 8 + 50 + 1;  // the real meetings, the series, this week's event
  for (int i = 0; i < 200; ++i) {
    const DateComponents c = utc.components(z(3, 2, 8 + i % 8) - 7 * 86400.0 * (i * 2 + 1));
    char lines[160];
    std::snprintf(lines, sizeof lines,
                  "DTSTART:%04d%02d%02dT%02d0000Z\nDURATION:PT30M\nRRULE:FREQ=WEEKLY\n"
                  "EXDATE:20250106T%02d0000Z\n",
                  c.year, c.month, c.day, c.hour, 10 + i % 8);
    std::string text = lines;
    if (i % 4 == 0) {
      std::snprintf(lines, sizeof lines, "EXDATE:20260302T%02d0000Z\n", 8 + i % 8);
      text += lines;
    } else {
      ++expected;
    }
    body += event(text, "w" + std::to_string(i));
  }
  body +=
      repeated(50, "n", "DTSTART:20180305T070000Z\nDURATION:PT1H\nRRULE:FREQ=WEEKLY;COUNT=500\n");
  body += repeated(400, "o", "DTSTART:20240105T070000Z\nDURATION:PT1H\n");
  body += event("DTSTART:20260306T070000Z\nDURATION:PT1H\n");
  EXPECT_EQ(weekOf(body).size(), expected);
}

TEST(IcsBudget, RunningOutOfTimeEndsTheReadWithWhatCameBefore) {
  IcsReadOptions options{std::nullopt, utc};
  options.timeLimit = std::chrono::seconds(0);
  const Busy busy = weekOf(event("DTSTART:20260303T090000Z\nDURATION:PT1H\n") +
                               repeated(300, "late", "DTSTART:20260305T090000Z\nDURATION:PT1H\n"),
                           options);
  EXPECT_TRUE(holds(busy, {z(3, 3, 9), z(3, 3, 10)}));
  EXPECT_LT(busy.size(), 300u);
}

}  // namespace
}  // namespace vorlane
