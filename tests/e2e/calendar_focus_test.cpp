// The calendar focus on a whole desktop, as the user meets it: a meeting in a calendar file,
// the window opened from the tray, suggestions enabled, the question about the calendars
// answered, the offer that fits before the meeting started. The answer and the opt-in outlive
// the program: after a restart the window reads the calendar again without asking.
#include <fstream>

#include "tests/e2e/calendar_focus_scenario.h"

namespace vorlane::e2e {
namespace {

// One busy half-hour meeting starting at `start`.
std::string meetingCalendar(std::time_t start) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Scenario//EN\r\n"
         "BEGIN:VEVENT\r\nUID:standup@scenario\r\nDTSTAMP:" +
         utcStamp(start - 86400) + "\r\nDTSTART:" + utcStamp(start) +
         "\r\nDTEND:" + utcStamp(start + 30 * 60) +
         "\r\nSUMMARY:Stand-up\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

TEST_F(CalendarFocusScenario,
       AMeetingInACalendarFileLeavesRoomForAFocusThatStartsAndConsentIsKept) {
  startWithTrayHost();
  const std::time_t start = at("09:10:00");
  // Twenty minutes and a little after the start, so that the seconds the scenario takes to
  // open the window still leave 18 whole minutes before the two kept free.
  const std::time_t meeting = start + 20 * 60 + 50;
  const auto calendars = home.path() / ".local/share/Vorlane/calendars";
  std::filesystem::create_directories(calendars);
  std::ofstream(calendars / "work.ics") << meetingCalendar(meeting);
  launchWithTray(start);

  ASSERT_TRUE(openFromTray());
  settle();
  screenshot("calendar-opt-in");
  EXPECT_FALSE(windowExists(consentWindow)) << "asked before the opt-in";

  // Enable: the question comes, and Allow (its default) answers it.
  ASSERT_TRUE(key("Tab") && key("space"));
  ASSERT_TRUE(opened(consentWindow)) << "no question about the calendars";
  settle();
  screenshot("calendar-consent");
  ASSERT_TRUE(key("Return"));
  ASSERT_TRUE(opened(focusWindow));
  EXPECT_EQ(testing::readFile(program->configFile("calendarAccess.v1")).value_or(""), "true");

  ASSERT_TRUE(program->waitForLine("calendar checked: room for 18 minutes", 60s)) << "no offer";
  settle();
  const QImage offer = screenshot("calendar-offer");
  ASSERT_FALSE(offer.isNull());
  EXPECT_EQ(program->count(" fault: "), 0u);

  // Once suggestions are on, the keyboard waits in the goal field.
  // A goal, then Return: the focus starts with the offered minutes and the window closes.
  ASSERT_TRUE(type("draft the agenda"));
  settle();
  screenshot("calendar-goal");
  ASSERT_TRUE(key("Return"));
  ASSERT_TRUE(program->waitForLine("started a 18 minute session", 60s)) << "no focus started";
  EXPECT_TRUE(waitForInactive(focusWindow));

  // A new run: the window reads at once, with no second question.
  EXPECT_EQ(testing::readFile(program->configFile("calendarFocusEnabled")).value_or(""), "true");
  ASSERT_TRUE(program->stop(SIGTERM).has_value());
  program = std::make_unique<ProgramRun>(*desktop, home.path());
  launchWithTray(at("09:12:00"));
  ASSERT_TRUE(openFromTray());
  // Read at once (the log file goes on from the first run): any question would have come.
  EXPECT_TRUE(program->waitForLine("calendar checked: ", 60s, 2)) << "not read at once";
  settle();
  screenshot("calendar-reopened");
  EXPECT_FALSE(windowExists(consentWindow)) << "asked a second time";
  EXPECT_EQ(activeWindowName(), focusWindow);
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
