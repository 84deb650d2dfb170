#include <gtest/gtest.h>
#include <libecal/libecal.h>
#include <libedata-cal/libedata-cal.h>

#include <algorithm>
#include <chrono>

#include "platform/calendar/calendar_reader.h"
#include "platform/calendar/eds_busy_reader.h"
#include "platform/calendar/merged_busy_reader.h"
#include "platform/calendar/time_limited_reader.h"
#include "platform/calendar/user_calendars.h"
#include "tests/platform/calendar/eds/eds_session.h"
#include "tests/support/log_capture.h"
#include "tests/support/remote_calendar_cache.h"

namespace vorlane {
namespace {

using Busy = std::vector<BusyInterval>;
using namespace std::chrono_literals;

const Calendar berlin("Europe/Berlin");
Date at(int day, int hour, int minute = 0) { return *berlin.date(2026, 3, day, hour, minute); }

// An event in March 2026, Berlin wall time ("0302T090000").
std::string event(const char* uid, const std::string& from, const std::string& to,
                  const std::string& extra = "") {
  return std::string("BEGIN:VEVENT\nUID:") + uid + "\nDTSTART;TZID=Europe/Berlin:2026" + from +
         "\nDTEND;TZID=Europe/Berlin:2026" + to + "\n" + extra + "END:VEVENT\n";
}

const std::string workEvents =
    "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//test//EN\n" +
    event("standup", "0302T090000", "0302T093000",
          "RRULE:FREQ=DAILY;COUNT=5\nEXDATE;TZID=Europe/Berlin:20260304T090000\n") +
    event("standup", "0305T140000", "0305T143000",
          "RECURRENCE-ID;TZID=Europe/Berlin:20260305T090000\n") +
    event("cancelled", "0302T110000", "0302T120000", "STATUS:CANCELLED\n") +
    event("free", "0302T120000", "0302T130000", "TRANSP:TRANSPARENT\n") +
    event("declined", "0302T130000", "0302T140000",
          "ATTENDEE;PARTSTAT=DECLINED:MAILTO:Ann@Example.org\n"
          "ATTENDEE;PARTSTAT=ACCEPTED:mailto:bob@example.org\n") +
    event("declined-alias", "0303T130000", "0303T140000",
          "ATTENDEE;PARTSTAT=DECLINED:mailto:ann.other@example.org\n") +
    event("declined-by-bob", "0302T150000", "0302T160000",
          "ATTENDEE;PARTSTAT=ACCEPTED:mailto:ann@example.org\n"
          "ATTENDEE;PARTSTAT=DECLINED:mailto:bob@example.org\n") +
    "BEGIN:VEVENT\nUID:all-day\nDTSTART;VALUE=DATE:20260304\nDTEND;VALUE=DATE:20260305\n"
    "END:VEVENT\nBEGIN:VEVENT\nUID:new-york\nDTSTART;TZID=America/New_York:20260305T080000\n"
    "DTEND;TZID=America/New_York:20260305T090000\nEND:VEVENT\n" +
    event("overnight", "0301T220000", "0302T010000") +
    event("later", "0310T090000", "0310T100000") + "END:VCALENDAR\n";

// What the remote calendar held when it was last reached: one meeting.
void fillRemoteCache(const std::filesystem::path& folder) {
  testing::fillRemoteCache(
      folder,
      "BEGIN:VEVENT\nUID:remote-1\nDTSTART:20260303T100000Z\nDTEND:20260303T110000Z\n"
      "SUMMARY:Remote\nEND:VEVENT\n");
}

Busy sorted(Busy busy) {
  std::sort(busy.begin(), busy.end(), [](const BusyInterval& a, const BusyInterval& b) {
    return std::pair(a.start, a.end) < std::pair(b.start, b.end);
  });
  return busy;
}

// One private bus and home starting the real service: a local calendar, the user's identity
// with an alias, and a CalDAV calendar whose server is not there (nothing listens on port 9).
TEST(EdsCalendarsTest, LocalAndCachedCalendarsFollowTheRulesOfTheFileReader) {
  setenv("TZ", "UTC", 1);  // the reader must place all-day events in its own zone, not TZ's
  testing::EdsSession session;
  session.addSource("work",
                    "[Data Source]\nDisplayName=Work\nEnabled=true\n"
                    "Parent=local-stub\n\n[Calendar]\nBackendName=local\n");
  session.addSource("me",
                    "[Data Source]\nDisplayName=Ann\nEnabled=true\nParent=\n\n"
                    "[Mail Identity]\nAddress=ann@example.org\n"
                    "Aliases=Ann Other <ann.other@example.org>\n");
  session.addSource("remote",
                    "[Data Source]\nDisplayName=Remote\nEnabled=true\nParent=caldav-stub\n\n"
                    "[Calendar]\nBackendName=caldav\n\n[Authentication]\nHost=127.0.0.1\n"
                    "Port=9\nUser=ann\nMethod=none\n\n[Security]\nMethod=none\n\n"
                    "[WebDAV Backend]\nResourcePath=/calendars/ann/\n\n"
                    "[Offline]\nStaySynchronized=true\n");
  const auto work = session.dataFolder() / "evolution/calendar/work";
  std::filesystem::create_directories(work);
  testing::writeFile(work / "calendar.ics", workEvents);
  fillRemoteCache(session.cacheFolder() / "evolution/calendar/remote");
  ASSERT_TRUE(session.start());

  LogCapture log;
  const std::shared_ptr<BusyReader> reader = std::make_shared<TimeLimitedReader>(
      std::make_unique<EdsBusyReader>(EdsBusyReader::standardPluginPath(), "Europe/Berlin"), 60s);
  const DateInterval week{at(2, 0), at(7, 0)};
  const Busy allBusy{
      {at(1, 22), at(2, 1)},       // began before the window: keeps its own start
      {at(2, 9), at(2, 9, 30)},    // stand-up, day 1
      {at(2, 15), at(2, 16)},      // declined by someone else: still busy
      {at(3, 9), at(3, 9, 30)},    // stand-up, day 2 (day 3 excluded)
      {at(4, 0), at(5, 0)},        // all day, in the reader's zone
      {at(5, 14), at(5, 14, 30)},  // stand-up, day 4, moved
      {at(5, 14), at(5, 15)},      // 08:00 in New York
      {at(6, 9), at(6, 9, 30)},    // stand-up, day 5
      {at(3, 11), at(3, 12)},      // the remote calendar's cached meeting
  };
  EXPECT_EQ(sorted(reader->read(week, {})), sorted(allBusy));
  // Nothing in an empty window; a second read gives the same answer from open calendars.
  EXPECT_EQ(reader->read({at(20, 0), at(21, 0)}, {}), Busy{});
  EXPECT_EQ(sorted(reader->read(week, {})), sorted(allBusy));

  // The unreachable CalDAV calendar answers from its cache within the real time limit.
  const TimeLimitedReader limited(
      std::make_unique<EdsBusyReader>(EdsBusyReader::standardPluginPath(), "Europe/Berlin"),
      calendarServiceTimeLimit);
  const Busy day3 = limited.read({at(3, 0), at(4, 0)}, {});
  EXPECT_NE(std::find(day3.begin(), day3.end(), BusyInterval{at(3, 11), at(3, 12)}), day3.end());

  // Evolution's local calendars are files too: read both ways, each stretch counts once.
  auto files = std::make_shared<CalendarReader>(
      CalendarFolders{session.dataFolder() / "none", session.dataFolder() / "evolution/calendar"},
      IcsReadOptions{"ann@example.org", berlin});
  Busy expected = allBusy;
  expected.push_back({at(3, 13), at(3, 14)});  // the file reader knows no alias of Ann's
  EXPECT_EQ(sorted(MergedBusyReader({files, reader}).read(week, {})), sorted(expected));
  for (const auto& line : log.lines()) ADD_FAILURE() << line.message;
}

}  // namespace
}  // namespace vorlane
