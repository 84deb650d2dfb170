// The status menu's line on what comes next, and the short time it is written with.
#include "coordination/status/status_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "foundation/short_time_formatter.h"
#include "tests/coordination/coordinator/coordinator_harness.h"

namespace vorlane {
namespace {

const Calendar berlinUS("Europe/Berlin", "en_US");

TEST(NextVisitDescription, FirstRuleThatAppliesGivesTheLine) {
  const Date now = at(14, 0);
  const auto session = [](Date start, const char* goal) {
    PomodoroSession s(25, 5);
    s.start(start, goal);
    return s;
  };
  const PomodoroSession idle(25, 5), focus = session(at(14, 0), "write report"),
                                     unnamed = session(at(14, 0), "");
  PomodoroSession onBreak(25, 5);
  onBreak.startBreak(at(14, 0));
  PomodoroSession paused = session(at(13, 47), "write report");
  paused.pause(now);  // 12 minutes left
  PomodoroSession awaiting = session(at(13, 30), "write report");
  (void)awaiting.advance(at(13, 55), berlinUS);
  PomodoroSession cancelled = awaiting;
  cancelled.cancel();
  const struct {
    const char* name;
    const PomodoroSession& session;
    std::optional<Date> mutedUntil, next;
    std::string expected;
  } rows[] = {
      {"muted while a focus runs", focus, at(15, 0), at(14, 5), "muted until 3:00\u202FPM"},
      {"expired mute", idle, now, at(15, 0), "next visit at 3:00\u202FPM"},
      {"finished and waiting",
       awaiting,
       {},
       at(15, 0),
       "25 min focus complete - Finished 5 min ago"},
      {"paused", paused, {}, at(15, 0), "paused, 12:00 left"},
      {"focus with a goal", focus, {}, at(14, 5), "focus until 2:25\u202FPM - write report"},
      {"focus without a goal", unnamed, {}, at(14, 5), "focus until 2:25\u202FPM"},
      {"break", onBreak, {}, at(15, 0), "break until 2:05\u202FPM"},
      {"nothing ahead", idle, {}, {}, "no visits scheduled"},
      {"a cancelled session keeps no completion", cancelled, {}, {}, "no visits scheduled"},
  };
  const auto time = [](Date date) { return ShortTimeFormatter(berlinUS).format(date); };
  for (const auto& row : rows) {
    int asked = 0;
    const auto next = [&] {
      ++asked;
      return row.next;
    };
    EXPECT_EQ(nextVisitDescription(row.session, row.mutedUntil, next, now, time), row.expected)
        << row.name;
    // The next visit, a walk over every reminder, only for the line that shows it.
    const bool showsNext =
        row.expected.starts_with("next visit") || row.expected == "no visits scheduled";
    EXPECT_EQ(asked, showsNext ? 1 : 0) << row.name;
  }
}

TEST(ShortTimeFormatterTest, WritesTheLocalesShortTimeInTheCalendarsZone) {
  const Date threePmBerlin = *berlin.date(2026, 3, 10, 15, 0, 0);
  EXPECT_EQ(ShortTimeFormatter(berlin).format(threePmBerlin), "15:00");
  EXPECT_EQ(ShortTimeFormatter(Calendar("America/New_York", "en_US")).format(threePmBerlin),
            "10:00\u202FAM");  // New York is already on summer time
}

using CoordinatorStatusLineTest = CoordinatorTest;

TEST_F(CoordinatorStatusLineTest, ReadsTheMuteTheHourAndTheRemindersAtEachRequest) {
  buildAndStart();
  EXPECT_EQ(coordinator->status().nextVisit, "next visit at 11:00");
  coordinator->reminders().add("in 1m stretch");
  tickAt(at(11, 0));
  clock->set(at(11, 0, 30));  // the fired reminder lies behind
  EXPECT_EQ(coordinator->status().nextVisit, "next visit at 12:00");
  coordinator->reminders().add("in 20m water");
  EXPECT_EQ(coordinator->status().nextVisit, "next visit at 11:20");
  coordinator->mute(MuteDuration::fifteenMinutes);
  EXPECT_EQ(coordinator->status().nextVisit, "muted until 11:15");
  clock->set(at(11, 15, 30));
  EXPECT_EQ(coordinator->status().nextVisit, "next visit at 11:20");
}

}  // namespace
}  // namespace vorlane
