// The calendar focus with the meeting in the calendar service (Evolution Data Server) and no
// calendar file: a CalDAV calendar whose server is gone, its cache filled before the service
// starts, so the offer can only come from the service.
#ifdef VORLANE_E2E_EDS

#include <libedata-cal/libedata-cal.h>

#include "tests/e2e/calendar_focus_scenario.h"
#include "tests/support/remote_calendar_cache.h"

namespace vorlane::e2e {
namespace {

// What the remote calendar held when it was last reached: one half-hour meeting at `start`.
void fillRemoteCache(const std::filesystem::path& folder, std::time_t start) {
  testing::fillRemoteCache(
      folder, "BEGIN:VEVENT\nUID:standup@scenario\nDTSTART:" + utcStamp(start) +
                  "\nDTEND:" + utcStamp(start + 30 * 60) + "\nSUMMARY:Stand-up\nEND:VEVENT\n");
}

// Nothing listens on port 9: the service answers from the cache.
constexpr const char* remoteSource =
    "[Data Source]\nDisplayName=Work\nEnabled=true\nParent=caldav-stub\n\n"
    "[Calendar]\nBackendName=caldav\n\n[Authentication]\nHost=127.0.0.1\nPort=9\nUser=ann\n"
    "Method=none\n\n[Security]\nMethod=none\n\n[WebDAV Backend]\nResourcePath=/calendars/ann/\n\n"
    "[Offline]\nStaySynchronized=true\n";

TEST_F(CalendarFocusScenario, AMeetingInTheCalendarServiceLeavesRoomForAFocusThatStarts) {
  const std::time_t start = at("09:10:00");
  const std::time_t meeting = start + 20 * 60 + 50;  // as with the file: 18 whole minutes
  const auto sources = home.path() / ".config/evolution/sources";
  std::filesystem::create_directories(sources);
  testing::writeFile(sources / "work.source", remoteSource);
  fillRemoteCache(home.path() / ".cache/evolution/calendar/work", meeting);
  startWithTrayHost(testing::installedServicesAt(home.path()));
  launchWithTray(start);

  ASSERT_TRUE(openFromTray());
  ASSERT_TRUE(key("Tab") && key("space"));
  ASSERT_TRUE(opened(consentWindow)) << "no question about the calendars";
  ASSERT_TRUE(key("Return"));
  ASSERT_TRUE(opened(focusWindow));
  // The service answers after the window opens: until then the fields wait, disabled.
  ASSERT_TRUE(program->waitForLine("calendar checked: room for 18 minutes", 60s))
      << "no offer from the calendar service";
  settle();
  const QImage offer = screenshot("calendar-service-offer");
  ASSERT_FALSE(offer.isNull());
  EXPECT_EQ(program->count("Calendar service not available"), 0u) << program->log();
  EXPECT_EQ(program->count(" fault: "), 0u);

  ASSERT_TRUE(type("draft the agenda"));
  ASSERT_TRUE(key("Return"));
  ASSERT_TRUE(program->waitForLine("started a 18 minute session", 60s)) << "no focus started";
}

}  // namespace
}  // namespace vorlane::e2e

#endif
