#include <gtest/gtest.h>

#include <algorithm>

#include "platform/calendar/ics_events.h"
#include "tests/platform/calendar/recurrence_cases.h"
#include "tests/support/log_capture.h"

namespace vorlane {
namespace {

using Busy = std::vector<BusyInterval>;

}  // namespace

void PrintTo(const BusyInterval& busy, std::ostream* out) { *out << testing::utcText(busy); }

namespace {

Busy inTimeOrder(Busy busy) {
  std::stable_sort(busy.begin(), busy.end(), [](const BusyInterval& a, const BusyInterval& b) {
    return std::pair(a.start, a.end) < std::pair(b.start, b.end);
  });
  return busy;
}

std::string calendarOf(const std::string& events) {
  return "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Vorlane tests//EN\n" + events + "END:VCALENDAR\n";
}

TEST(IcsRecurrence, SeriesZonesAndOverridesReadAsOtherCalendarProgramsReadThem) {
  const IcsReadOptions options{std::nullopt, Calendar(testing::caseUserZone)};
  for (const testing::RecurrenceCase& c : testing::recurrenceCases()) {
    EXPECT_EQ(inTimeOrder(busyIntervalsInIcs(calendarOf(c.events), c.range, options)), c.busy)
        << c.name;
  }
}

// Folded, with CRLF line ends and in lower case, as producers write rules.
TEST(IcsRecurrence, UnknownRulePartsAreLeftOutOnceReportedAndTheRestExpanded) {
  const Calendar berlin(testing::caseUserZone);
  const DateInterval week{testing::utcStamp("20191020T0000"), testing::utcStamp("20191027T0000")};
  const std::string text = calendarOf(
      "BEGIN:VEVENT\r\nUID:a\r\nDTSTART:20191021T090000Z\r\nDURATION:PT1H\r\n"
      "RRULE:FREQ=WEEKLY;UNTL=20191023;\r\n BYDAY=MO,WE;X-NAME=1\r\nEND:VEVENT\r\n"
      "BEGIN:VEVENT\r\nUID:b\r\nDTSTART:20191021T120000Z\r\nDURATION:PT1H\r\n"
      "rrule:freq=daily;untl=20191023;count=2\r\nEND:VEVENT\r\n"
      "BEGIN:VEVENT\r\nUID:c\r\nDTSTART:20191021T150000Z\r\nDURATION:PT1H\r\n"
      "RRULE:FREQ=DAILY;UNTL=20191023;COUNT=1\r\nEND:VEVENT\r\n");
  LogCapture log;
  const Busy busy = inTimeOrder(busyIntervalsInIcs(text, week, {std::nullopt, berlin}));
  const Busy expected{testing::utcStretch("20191021T0900", "20191021T1000"),
                      testing::utcStretch("20191021T1200", "20191021T1300"),
                      testing::utcStretch("20191021T1500", "20191021T1600"),
                      testing::utcStretch("20191022T1200", "20191022T1300"),
                      testing::utcStretch("20191023T0900", "20191023T1000")};
  EXPECT_EQ(busy, expected);
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(log.lines()[0].message,
            "Calendar rule parts not understood, left out: UNTL=20191023, X-NAME=1, "
            "untl=20191023");
  // A file whose rules are all known says nothing.
  busyIntervalsInIcs(calendarOf(testing::caseEvent("k",
                                                   "DTSTART:20191021T090000Z\n"
                                                   "DURATION:PT1H\nRRULE:FREQ=DAILY\n")),
                     week, {std::nullopt, berlin});
  EXPECT_EQ(log.lines().size(), 1u);
}

// A counted series begun centuries back starts its walk at the range. Walking from its start
// takes over 300,000 steps, more than half of what one file may take: of two such series,
// the second would be cut short and lost. Steps, not the clock, end the read here.
TEST(IcsRecurrence, CountedSeriesFromCenturiesBackAreReadInFullWithinOneFilesSteps) {
  const auto series = [](const std::string& uid, const std::string& hour) {
    return testing::caseEvent(uid, "DTSTART:02260302T" + hour +
                                       "0000Z\nDURATION:PT1H\n"
                                       "RRULE:FREQ=DAILY;INTERVAL=2;COUNT=20260401\n");
  };
  const std::string file = std::string(1, '\0') + calendarOf(series("d", "09") + series("e", "13"));
  const DateInterval week{testing::utcStamp("20260302T0000"), testing::utcStamp("20260309T0000")};
  IcsReadOptions options{std::nullopt, Calendar("UTC")};
  options.timeLimit = std::chrono::hours(1);
  const Busy expected{testing::utcStretch("20260303T0900", "20260303T1000"),
                      testing::utcStretch("20260303T1300", "20260303T1400"),
                      testing::utcStretch("20260305T0900", "20260305T1000"),
                      testing::utcStretch("20260305T1300", "20260305T1400"),
                      testing::utcStretch("20260307T0900", "20260307T1000"),
                      testing::utcStretch("20260307T1300", "20260307T1400")};
  EXPECT_EQ(inTimeOrder(busyIntervalsInIcs(file, week, options)), expected);

  // Where the count runs out, as walking would find: the 100th of a weekly series from 1626
  // is on 1627-11-25; one of 20,000 weeks is over before the range.
  const auto weekly = [](int count) {
    return calendarOf(testing::caseEvent(
        "w", "DTSTART:16260101T090000Z\nDURATION:PT1H\nRRULE:FREQ=WEEKLY;COUNT=" +
                 std::to_string(count) + "\n"));
  };
  const DateInterval lastWeeks{testing::utcStamp("16271115T0000"),
                               testing::utcStamp("16271216T0000")};
  EXPECT_EQ(busyIntervalsInIcs(weekly(100), lastWeeks, options),
            (Busy{testing::utcStretch("16271118T0900", "16271118T1000"),
                  testing::utcStretch("16271125T0900", "16271125T1000")}));
  EXPECT_EQ(busyIntervalsInIcs(weekly(20000), week, options), Busy{});
  EXPECT_EQ(busyIntervalsInIcs(weekly(21000), week, options).size(), 1u);
}

}  // namespace
}  // namespace vorlane
