#include "app/calendar/ics_events.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const Calendar newYork("America/New_York");
const Calendar utc("UTC");

Date ny(int month, int day, int hour = 0, int minute = 0) {
  return *newYork.date(2026, month, day, hour, minute);
}
Date z(int month, int day, int hour, int minute = 0) {
  return *utc.date(2026, month, day, hour, minute);
}

std::string calendar(const std::string& body) {
  return "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Vorlane tests//EN\n" + body + "END:VCALENDAR\n";
}
std::string event(const std::string& lines) {
  return "BEGIN:VEVENT\nUID:" + std::to_string(std::hash<std::string>{}(lines)) + "\n" + lines +
         "END:VEVENT\n";
}

IcsReadOptions options(std::optional<std::string> email = "ann@example.org") {
  return IcsReadOptions{std::move(email), newYork};
}

const DateInterval monday{ny(3, 2), ny(3, 3)};

TEST(IcsEvents, EachFilterDropsItsEventsAndOnlyThose) {
  const std::string hour = "DTSTART:20260302T150000Z\nDTEND:20260302T160000Z\n";
  const std::vector<BusyInterval> busy{{z(3, 2, 15), z(3, 2, 16)}};
  const std::vector<BusyInterval> none;
  struct Row {
    const char* name;
    std::string lines;
    std::vector<BusyInterval> expected;
  };
  const std::vector<Row> rows = {
      {"a plain meeting", hour, busy},
      {"cancelled", hour + "STATUS:CANCELLED\n", none},
      {"tentative still counts", hour + "STATUS:TENTATIVE\n", busy},
      {"shown as free", hour + "TRANSP:TRANSPARENT\n", none},
      {"declined by the user",
       hour + "ATTENDEE;PARTSTAT=ACCEPTED:mailto:bob@example.org\n"
              "ATTENDEE;PARTSTAT=DECLINED:MAILTO:Ann@Example.ORG\n",
       none},
      {"declined by someone else", hour + "ATTENDEE;PARTSTAT=DECLINED:mailto:bob@example.org\n",
       busy},
      {"no start", "DTEND:20260302T160000Z\n", none},
      {"zero length", "DTSTART:20260302T150000Z\nDTEND:20260302T150000Z\n", none},
      {"reversed", "DTSTART:20260302T160000Z\nDTEND:20260302T150000Z\n", none},
      {"no end and no duration", "DTSTART:20260302T150000Z\n", none},
      {"end and duration both given", hour + "DURATION:PT1H\n", none},
      {"a duration", "DTSTART:20260302T150000Z\nDURATION:PT45M\n", {{z(3, 2, 15), z(3, 2, 15, 45)}}},
      {"began before the range", "DTSTART:20260301T230000Z\nDTEND:20260302T060000Z\n",
       {{z(3, 1, 23), z(3, 2, 6)}}},
      {"after the range", "DTSTART:20260303T150000Z\nDTEND:20260303T160000Z\n", none},
      {"ends as the range begins", "DTSTART:20260302T040000Z\nDTEND:20260302T050000Z\n", none},
      {"all day", "DTSTART;VALUE=DATE:20260302\n", {{ny(3, 2), ny(3, 3)}}},
      {"floating time in the user's zone", "DTSTART:20260302T100000\nDTEND:20260302T110000\n",
       {{ny(3, 2, 10), ny(3, 2, 11)}}},
      {"zone from the system's data",
       "DTSTART;TZID=Europe/Berlin:20260302T160000\nDTEND;TZID=Europe/Berlin:20260302T170000\n",
       busy},
      {"unknown zone read as floating",
       "DTSTART;TZID=Nowhere/Atlantis:20260302T100000\nDTEND;TZID=Nowhere/Atlantis:20260302T110000\n",
       {{ny(3, 2, 10), ny(3, 2, 11)}}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(busyIntervalsInIcs(calendar(event(row.lines)), monday, options()), row.expected)
        << row.name;
  }
}

TEST(IcsEvents, WithoutAnAddressNobodyIsTheUser) {
  const std::string text = calendar(event(
      "DTSTART:20260302T150000Z\nDTEND:20260302T160000Z\n"
      "ATTENDEE;PARTSTAT=DECLINED:mailto:ann@example.org\n"));
  EXPECT_EQ(busyIntervalsInIcs(text, monday, options(std::nullopt)).size(), 1u);
}

TEST(IcsEvents, OverlappingEventsComeBackSeparatelyInFileOrder) {
  const std::string text = calendar(event("DTSTART:20260302T170000Z\nDTEND:20260302T180000Z\n") +
                                    event("DTSTART:20260302T150000Z\nDTEND:20260302T173000Z\n"));
  const std::vector<BusyInterval> expected{{z(3, 2, 17), z(3, 2, 18)},
                                           {z(3, 2, 15), z(3, 2, 17, 30)}};
  EXPECT_EQ(busyIntervalsInIcs(text, monday, options()), expected);
}

const std::string newYorkZone = R"(BEGIN:VTIMEZONE
TZID:America/New_York
BEGIN:DAYLIGHT
TZOFFSETFROM:-0500
TZOFFSETTO:-0400
TZNAME:EDT
DTSTART:19700308T020000
RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU
END:DAYLIGHT
BEGIN:STANDARD
TZOFFSETFROM:-0400
TZOFFSETTO:-0500
TZNAME:EST
DTSTART:19701101T020000
RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU
END:STANDARD
END:VTIMEZONE
)";

// A weekly stand-up across the start of daylight saving time (8 March), with the 16 March
// meeting excluded and the 23 March one moved to the afternoon.
std::string standUp(const std::string& zone, const std::string& overrideExtra = "") {
  const std::string tz = zone.empty() ? "" : ";TZID=" + zone;
  return "BEGIN:VEVENT\nUID:standup@example.org\n"
         "DTSTART" + tz + ":20260302T100000\nDTEND" + tz + ":20260302T103000\n"
         "RRULE:FREQ=WEEKLY;COUNT=5\nEXDATE" + tz + ":20260316T100000\nEND:VEVENT\n"
         "BEGIN:VEVENT\nUID:standup@example.org\nRECURRENCE-ID" + tz + ":20260323T100000\n"
         "DTSTART" + tz + ":20260323T140000\nDTEND" + tz + ":20260323T150000\n" + overrideExtra +
         "END:VEVENT\n";
}

TEST(IcsEvents, WeeklyMeetingKeepsItsLocalTimeAcrossDaylightSavingWithExceptionAndOverride) {
  const DateInterval march{ny(3, 1), ny(4, 1)};
  const std::vector<BusyInterval> expected{
      {ny(3, 2, 10), ny(3, 2, 10, 30)},
      {ny(3, 9, 10), ny(3, 9, 10, 30)},  // an hour earlier in UTC: daylight time
      {ny(3, 30, 10), ny(3, 30, 10, 30)},
      {ny(3, 23, 14), ny(3, 23, 15)},  // the moved meeting, as its own event
  };
  struct Row {
    const char* name;
    std::string text;
  };
  const Row rows[] = {
      {"zone defined in the file", calendar(newYorkZone + standUp("America/New_York"))},
      {"zone from the system's data", calendar(standUp("America/New_York"))},
      {"floating times in the user's zone", calendar(standUp(""))},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(busyIntervalsInIcs(row.text, march, options()), expected) << row.name;
  }
  ASSERT_EQ(expected[1].start - expected[0].start, 7 * 86400.0 - 3600.0);
}

TEST(IcsEvents, ACancelledOverrideRemovesThatOccurrenceOnly) {
  const std::vector<BusyInterval> busy = busyIntervalsInIcs(
      calendar(standUp("America/New_York", "STATUS:CANCELLED\n")), {ny(3, 1), ny(4, 1)}, options());
  const std::vector<BusyInterval> expected{{ny(3, 2, 10), ny(3, 2, 10, 30)},
                                           {ny(3, 9, 10), ny(3, 9, 10, 30)},
                                           {ny(3, 30, 10), ny(3, 30, 10, 30)}};
  EXPECT_EQ(busy, expected);
}

TEST(IcsEvents, RecurringAllDayEventsLastCalendarDays) {
  const std::string text = calendar(event("DTSTART;VALUE=DATE:20260307\nRRULE:FREQ=DAILY;COUNT=3\n"));
  // 8 March has 23 hours in New York.
  const std::vector<BusyInterval> expected{
      {ny(3, 7), ny(3, 8)}, {ny(3, 8), ny(3, 9)}, {ny(3, 9), ny(3, 10)}};
  EXPECT_EQ(busyIntervalsInIcs(text, {ny(3, 1), ny(3, 31)}, options()), expected);
  EXPECT_EQ(expected[1].end - expected[1].start, 23 * 3600.0);
}

TEST(IcsEvents, OnlyOccurrencesOverlappingTheRangeAreListed) {
  const std::string text = calendar(
      event("DTSTART:20200101T235000Z\nDTEND:20200102T001000Z\nRRULE:FREQ=DAILY\n"));
  const std::vector<BusyInterval> expected{{z(3, 1, 23, 50), z(3, 2, 0, 10)}};
  EXPECT_EQ(busyIntervalsInIcs(text, {z(3, 2, 0), z(3, 2, 12)}, options()), expected);
}

TEST(IcsEvents, BrokenAndHostileTextGivesWhatCanBeReadWithoutFailing) {
  const std::string good = event("DTSTART:20260302T150000Z\nDTEND:20260302T160000Z\n");
  std::string nested = "BEGIN:VCALENDAR\n";
  for (int i = 0; i < 100000; ++i) nested += "BEGIN:VEVENT\n";
  std::string foldedNesting = "BEGIN:VCALENDAR\n";
  for (int i = 0; i < 100000; ++i) foldedNesting += "BEG\n IN:VEVENT\n";
  std::string binary(4096, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = char(i * 37 % 256);

  struct Row {
    const char* name;
    std::string text;
    std::size_t expected;
  };
  const Row rows[] = {
      {"empty", "", 0},
      {"not a calendar", "hello, world\n", 0},
      {"binary", binary, 0},
      {"deeply nested", nested, 0},
      {"deeply nested through folded lines", foldedNesting, 0},
      {"cut off in the second event",
       "BEGIN:VCALENDAR\n" + good + "BEGIN:VEVENT\nDTSTART:2026030", 1},
      {"garbage properties around a good event",
       calendar("X-WHAT;;;=:\n" + good + "DTSTART:nonsense\nBEGIN:VTODO\n"), 1},
      {"an impossible date", calendar(event("DTSTART:20261345T990000Z\nDURATION:PT1H\n")), 0},
      {"a rule firing every second",
       calendar(event("DTSTART:20200101T000000Z\nDURATION:PT1S\nRRULE:FREQ=SECONDLY\n")), 3600},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(busyIntervalsInIcs(row.text, {z(3, 2, 15), z(3, 2, 16)}, options()).size(),
              row.expected)
        << row.name;
  }
}

TEST(IcsEvents, TheUsersAddressComesFromTheEmailVariable) {
  struct Row {
    const char* value;
    std::optional<std::string> expected;
  };
  const Row rows[] = {
      {nullptr, std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"ann@example.org", "ann@example.org"},
      {"  ann@example.org\n", "ann@example.org"},
      {"Ann Smith <ann@example.org>", "ann@example.org"},
      {"Ann <>", std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(userEmailFromEnvironment(row.value), row.expected)
        << (row.value ? row.value : "(unset)");
  }
}

}  // namespace
}  // namespace vorlane
