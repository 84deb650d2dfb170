#include <gtest/gtest.h>

#include <algorithm>

#include "platform/calendar/ics_events.h"
#include "platform/logging/log_capture.h"
#include "tests/platform/calendar/recurrence_cases.h"

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
  return "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Vorlane tests//EN\n" + events +
         "END:VCALENDAR\n";
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
  busyIntervalsInIcs(calendarOf(testing::caseEvent("k", "DTSTART:20191021T090000Z\n"
                                                        "DURATION:PT1H\nRRULE:FREQ=DAILY\n")),
                     week, {std::nullopt, berlin});
  EXPECT_EQ(log.lines().size(), 1u);
}

}  // namespace
}  // namespace vorlane
