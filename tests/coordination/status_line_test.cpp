// The status menu's line on what comes next.
#include "coordination/status_line.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "coordination/short_time_formatter.h"
#include "tests/coordination/coordinator_harness.h"

namespace vorlane {
namespace {

const Calendar berlinUS("Europe/Berlin", "en_US");

std::string usTime(Date date) { return ShortTimeFormatter(berlinUS).format(date); }

TEST(NextVisitDescription, FirstRuleThatAppliesGivesTheLine) {
  const Date now = at(14, 0);
  PomodoroSession idle(25, 5);

  PomodoroSession focus(25, 5);
  focus.start(at(14, 0), "write report");  // ends 14:25
  PomodoroSession unnamed(25, 5);
  unnamed.start(at(14, 0), "");
  PomodoroSession onBreak(25, 5);
  onBreak.startBreak(at(14, 0));  // ends 14:05

  PomodoroSession paused(25, 5);
  paused.start(at(13, 47), "write report");
  paused.pause(now);  // 12 minutes left

  PomodoroSession finished(25, 5);
  finished.start(at(13, 30), "write report");
  (void)finished.advance(at(13, 55), berlinUS);
  finished.cancel();
  PomodoroSession awaiting(25, 5);
  awaiting.start(at(13, 30), "write report");
  (void)awaiting.advance(at(13, 55), berlinUS);

  const struct {
    const char* name;
    const PomodoroSession& session;
    std::optional<Date> mutedUntil;
    std::optional<Date> next;
    std::string expected;
  } rows[] = {
      {"muted while a focus runs", focus, at(15, 0), at(14, 5), "muted until 3:00\u202FPM"},
      {"expired mute", idle, now, at(15, 0), "next visit at 3:00\u202FPM"},
      {"finished and waiting", awaiting, std::nullopt, at(15, 0),
       "25 min focus complete - Finished 5 min ago"},
      {"paused", paused, std::nullopt, at(15, 0), "paused, 12:00 left"},
      {"focus with a goal", focus, std::nullopt, at(14, 5),
       "focus until 2:25\u202FPM - write report"},
      {"focus without a goal", unnamed, std::nullopt, at(14, 5), "focus until 2:25\u202FPM"},
      {"break", onBreak, std::nullopt, at(15, 0), "break until 2:05\u202FPM"},
      {"idle", idle, std::nullopt, at(15, 0), "next visit at 3:00\u202FPM"},
      {"nothing ahead", idle, std::nullopt, std::nullopt, "no visits scheduled"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(nextVisitDescription(row.session, row.mutedUntil, row.next, now, usTime),
              row.expected)
        << row.name;
  }
  // A cancelled session keeps no completion: nothing but the next visit remains.
  EXPECT_EQ(nextVisitDescription(finished, std::nullopt, std::nullopt, now, usTime),
            "no visits scheduled");
}

TEST(EarliestVisit, TheSoonestOfTheHourAndEachReminder) {
  const Date now = at(10, 40);
  const Reminder soon(UUID::random(), "tea", VisitTrigger::oneOff(at(10, 50)), at(9, 0));
  const Reminder countdown(UUID::random(), "walk", VisitTrigger::countdown(600), at(10, 35));
  const Reminder hourly(UUID::random(), "hour", VisitTrigger::hourly(), at(9, 0));
  const Reminder past(UUID::random(), "gone", VisitTrigger::oneOff(at(10, 0)), at(9, 0));
  const struct {
    const char* name;
    std::optional<Date> hour;
    std::vector<Reminder> reminders;
    std::optional<Date> expected;
  } rows[] = {
      {"one-off earlier than the hour wins", at(11, 0), {hourly, soon}, at(10, 50)},
      {"countdown from its creation, past one-off ignored",
       std::nullopt,
       {past, soon, countdown},
       at(10, 45)},
      {"nothing", std::nullopt, {past, hourly}, std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(earliestVisit(row.hour, row.reminders, now, berlin), row.expected) << row.name;
  }
}

class CoordinatorStatusLineTest : public CoordinatorTest {};

TEST_F(CoordinatorStatusLineTest, ReadsTheMuteTheHourAndTheRemindersAtEachRequest) {
  buildAndStart();
  EXPECT_EQ(coordinator->nextVisitDescription(), "next visit at 11:00");
  coordinator->addReminder("in 1m stretch");
  tickAt(at(11, 0));
  clock->set(at(11, 0, 30));  // the fired reminder lies behind
  EXPECT_EQ(coordinator->nextVisitDescription(), "next visit at 12:00");
  coordinator->addReminder("in 20m water");
  EXPECT_EQ(coordinator->nextVisitDescription(), "next visit at 11:20");
  coordinator->mute(MuteDuration::fifteenMinutes);
  EXPECT_EQ(coordinator->nextVisitDescription(), "muted until 11:15");
  clock->set(at(11, 15, 30));
  EXPECT_EQ(coordinator->nextVisitDescription(), "next visit at 11:20");
}

}  // namespace
}  // namespace vorlane
