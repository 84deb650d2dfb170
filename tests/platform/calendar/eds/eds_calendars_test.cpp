#include <libecal/libecal.h>
#include <libedata-cal/libedata-cal.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "platform/calendar/calendar_reader.h"
#include "platform/calendar/eds_busy_reader.h"
#include "platform/calendar/merged_busy_reader.h"
#include "platform/calendar/time_limited_reader.h"
#include "platform/calendar/user_calendars.h"
#include "platform/logging/log_capture.h"
#include "tests/platform/calendar/eds/eds_session.h"

namespace vorlane {
namespace {

using Busy = std::vector<BusyInterval>;
using namespace std::chrono_literals;

const Calendar berlin("Europe/Berlin");

Date at(int day, int hour, int minute = 0) { return *berlin.date(2026, 3, day, hour, minute); }

const char* const workEvents = R"(BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//test//EN
BEGIN:VEVENT
UID:standup
DTSTART;TZID=Europe/Berlin:20260302T090000
DTEND;TZID=Europe/Berlin:20260302T093000
RRULE:FREQ=DAILY;COUNT=5
EXDATE;TZID=Europe/Berlin:20260304T090000
SUMMARY:Stand-up
END:VEVENT
BEGIN:VEVENT
UID:standup
RECURRENCE-ID;TZID=Europe/Berlin:20260305T090000
DTSTART;TZID=Europe/Berlin:20260305T140000
DTEND;TZID=Europe/Berlin:20260305T143000
SUMMARY:Stand-up, moved
END:VEVENT
BEGIN:VEVENT
UID:cancelled
DTSTART;TZID=Europe/Berlin:20260302T110000
DTEND;TZID=Europe/Berlin:20260302T120000
STATUS:CANCELLED
END:VEVENT
BEGIN:VEVENT
UID:free
DTSTART;TZID=Europe/Berlin:20260302T120000
DTEND;TZID=Europe/Berlin:20260302T130000
TRANSP:TRANSPARENT
END:VEVENT
BEGIN:VEVENT
UID:declined
DTSTART;TZID=Europe/Berlin:20260302T130000
DTEND;TZID=Europe/Berlin:20260302T140000
ATTENDEE;PARTSTAT=DECLINED:MAILTO:Ann@Example.org
ATTENDEE;PARTSTAT=ACCEPTED:mailto:bob@example.org
END:VEVENT
BEGIN:VEVENT
UID:declined-alias
DTSTART;TZID=Europe/Berlin:20260303T130000
DTEND;TZID=Europe/Berlin:20260303T140000
ATTENDEE;PARTSTAT=DECLINED:mailto:ann.other@example.org
END:VEVENT
BEGIN:VEVENT
UID:declined-by-bob
DTSTART;TZID=Europe/Berlin:20260302T150000
DTEND;TZID=Europe/Berlin:20260302T160000
ATTENDEE;PARTSTAT=ACCEPTED:mailto:ann@example.org
ATTENDEE;PARTSTAT=DECLINED:mailto:bob@example.org
END:VEVENT
BEGIN:VEVENT
UID:all-day
DTSTART;VALUE=DATE:20260304
DTEND;VALUE=DATE:20260305
END:VEVENT
BEGIN:VEVENT
UID:new-york
DTSTART;TZID=America/New_York:20260305T080000
DTEND;TZID=America/New_York:20260305T090000
END:VEVENT
BEGIN:VEVENT
UID:overnight
DTSTART;TZID=Europe/Berlin:20260301T220000
DTEND;TZID=Europe/Berlin:20260302T010000
END:VEVENT
BEGIN:VEVENT
UID:later
DTSTART;TZID=Europe/Berlin:20260310T090000
DTEND;TZID=Europe/Berlin:20260310T100000
END:VEVENT
END:VCALENDAR
)";

// One bus and one home for the whole test program: GLib keeps one session-bus connection
// per process.
class EdsEnvironment final : public ::testing::Environment {
 public:
  static testing::EdsSession* session;

  void SetUp() override {
    setenv("TZ", "UTC", 1);  // the reader must place all-day events in its own zone, not TZ's
    session = new testing::EdsSession;
    session->addSource("work", "[Data Source]\nDisplayName=Work\nEnabled=true\n"
                               "Parent=local-stub\n\n[Calendar]\nBackendName=local\n");
    session->addSource("me", "[Data Source]\nDisplayName=Ann\nEnabled=true\nParent=\n\n"
                             "[Mail Identity]\nAddress=ann@example.org\n"
                             "Aliases=Ann Other <ann.other@example.org>\n");
    // A CalDAV server that is not there (nothing listens on port 9 of this machine).
    session->addSource("remote",
                       "[Data Source]\nDisplayName=Remote\nEnabled=true\nParent=caldav-stub\n\n"
                       "[Calendar]\nBackendName=caldav\n\n[Authentication]\nHost=127.0.0.1\n"
                       "Port=9\nUser=ann\nMethod=none\n\n[Security]\nMethod=none\n\n"
                       "[WebDAV Backend]\nResourcePath=/calendars/ann/\n\n"
                       "[Offline]\nStaySynchronized=true\n");
    const auto work = session->dataFolder() / "evolution/calendar/work";
    std::filesystem::create_directories(work);
    testing::writeFile(work / "calendar.ics", workEvents);
    fillRemoteCache();
    ASSERT_TRUE(session->start());
  }
  void TearDown() override { delete session; }

 private:
  // What the remote calendar held when it was last reached: one meeting.
  static void fillRemoteCache() {
    const auto folder = session->cacheFolder() / "evolution/calendar/remote";
    std::filesystem::create_directories(folder);
    GError* error = nullptr;
    ECalCache* cache = e_cal_cache_new((folder / "cache.db").c_str(), nullptr, &error);
    ASSERT_NE(cache, nullptr) << error->message;
    ECalComponent* event = e_cal_component_new_from_string(
        "BEGIN:VEVENT\nUID:remote-1\nDTSTART:20260303T100000Z\nDTEND:20260303T110000Z\n"
        "SUMMARY:Remote\nEND:VEVENT\n");
    ASSERT_NE(event, nullptr);
    EXPECT_TRUE(e_cal_cache_put_component(cache, event, nullptr, 0, E_CACHE_IS_ONLINE, nullptr,
                                          &error))
        << error->message;
    g_object_unref(event);
    g_object_unref(cache);
  }
};
testing::EdsSession* EdsEnvironment::session = nullptr;
const auto* const environment = ::testing::AddGlobalTestEnvironment(new EdsEnvironment);

std::shared_ptr<BusyReader> serviceReader() {
  return std::make_shared<TimeLimitedReader>(
      std::make_unique<EdsBusyReader>(EdsBusyReader::standardPluginPath(), "Europe/Berlin"), 60s);
}

Busy sorted(Busy busy) {
  std::sort(busy.begin(), busy.end(), [](const BusyInterval& a, const BusyInterval& b) {
    return std::pair(a.start, a.end) < std::pair(b.start, b.end);
  });
  return busy;
}

const DateInterval week{at(2, 0), at(7, 0)};

const Busy allBusy{
    {at(1, 22), at(2, 1)},           // began before the window: keeps its own start
    {at(2, 9), at(2, 9, 30)},        // stand-up, day 1
    {at(2, 15), at(2, 16)},          // declined by someone else: still busy
    {at(3, 9), at(3, 9, 30)},        // stand-up, day 2 (day 3 excluded)
    {at(4, 0), at(5, 0)},            // all day, in the reader's zone
    {at(5, 14), at(5, 14, 30)},      // stand-up, day 4, moved
    {at(5, 14), at(5, 15)},          // 08:00 in New York
    {at(6, 9), at(6, 9, 30)},        // stand-up, day 5
    {at(3, 11), at(3, 12)},          // the remote calendar's cached meeting
};

TEST(EdsCalendarsTest, ALocalCalendarFollowsTheRulesOfTheFileReader) {
  LogCapture log;
  const auto reader = serviceReader();
  EXPECT_EQ(sorted(reader->read(week, {})), sorted(allBusy));
  // Nothing in an empty window; a second read gives the same answer from open calendars.
  EXPECT_EQ(reader->read({at(20, 0), at(21, 0)}, {}), Busy{});
  EXPECT_EQ(sorted(reader->read(week, {})), sorted(allBusy));

  // Evolution's local calendars are files too: read both ways, each stretch counts once.
  auto files = std::make_shared<CalendarReader>(
      CalendarFolders{EdsEnvironment::session->dataFolder() / "none",
                      EdsEnvironment::session->dataFolder() / "evolution/calendar"},
      IcsReadOptions{"ann@example.org", berlin});
  MergedBusyReader both({files, reader});
  Busy expected = allBusy;
  expected.push_back({at(3, 13), at(3, 14)});  // the file reader knows no alias of Ann's
  EXPECT_EQ(sorted(both.read(week, {})), sorted(expected));
  for (const auto& line : log.lines()) ADD_FAILURE() << line.message;
}

TEST(EdsCalendarsTest, AnUnreachableCalDavCalendarAnswersFromItsCacheWithinTheTimeLimit) {
  LogCapture log;
  const TimeLimitedReader reader(
      std::make_unique<EdsBusyReader>(EdsBusyReader::standardPluginPath(), "Europe/Berlin"),
      calendarServiceTimeLimit);
  const Busy busy = reader.read({at(3, 0), at(4, 0)}, {});
  EXPECT_NE(std::find(busy.begin(), busy.end(), BusyInterval{at(3, 11), at(3, 12)}), busy.end());
  for (const auto& line : log.lines()) ADD_FAILURE() << line.message;
}

}  // namespace
}  // namespace vorlane
