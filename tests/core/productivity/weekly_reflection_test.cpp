#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/productivity/weekly_reflection.h"

namespace vorlane {
namespace {

using TimeOfDay = WeeklyReflection::TimeOfDay;

const Calendar newYork("America/New_York", "en_US");  // weeks start on Sunday
const Calendar london("Europe/London", "en_GB");      // weeks start on Monday
// Tuesday of the week in which New York's clocks go forward (Sunday 8 March 2026).
const Date springTuesday = *newYork.date(2026, 3, 10, 9, 0, 0);

FocusSample finished(Date at, double duration = 1500) { return {"goal", duration, at, {}, {}}; }

TEST(WeeklyReflection, WeekRunsByCalendarDaysAcrossClockChanges) {
  struct Row {
    const char* name;
    const Calendar& calendar;
    Date at;
    std::int64_t offset;
    double length;
    const char* firstDay;
  };
  const Date fallSaturday = *newYork.date(2026, 11, 7, 23, 0, 0);
  const Date londonSunday = *london.date(2026, 3, 29, 12, 0, 0);
  const Row rows[] = {
      {"spring forward", newYork, springTuesday, 0, 601200, "2026-03-08"},
      {"week before it", newYork, springTuesday, -1, 604800, "2026-03-01"},
      {"fall back", newYork, fallSaturday, 0, 608400, "2026-11-01"},
      {"monday-first week", london, londonSunday, 0, 601200, "2026-03-23"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const DateInterval week = WeeklyReflection(row.at, row.offset, {}, {}, row.calendar).interval();
    EXPECT_EQ(week.end - week.start, row.length);
    EXPECT_EQ(week.start, row.calendar.startOfDay(week.start));
    EXPECT_EQ(DailyPriorities::dayKey(week.start, row.calendar), row.firstDay);

    const WeeklyReflection edges(row.at, row.offset,
                                 {finished(week.start - 1), finished(week.start),
                                  finished(week.end - 1), finished(week.end)},
                                 {}, row.calendar);
    EXPECT_EQ(edges.completedSessions(), 2);
    EXPECT_EQ(edges.recordedMinutes(), 50);
  }
}

TEST(WeeklyReflection, CountsOnlyUsableDurationsAndRoundsHalfUp) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double huge = std::numeric_limits<double>::max();
  struct Row {
    const char* name;
    std::vector<double> durations;
    std::int64_t sessions;
    std::int64_t minutes;
  };
  const Row rows[] = {
      {"none", {}, 0, 0},
      {"50.5 minutes", {1500, 1530}, 2, 51},
      {"just under", {1500, 1529}, 2, 50},
      {"unusable durations", {1500, -1, nan, INFINITY}, 1, 25},
      {"overflowing total is capped", {huge, huge}, 2, std::int64_t{1} << 62},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<FocusSample> history;
    for (double d : row.durations) history.push_back(finished(springTuesday, d));
    const WeeklyReflection reflection(springTuesday, 0, history, {}, newYork);
    EXPECT_EQ(reflection.completedSessions(), row.sessions);
    EXPECT_EQ(reflection.recordedMinutes(), row.minutes);
  }
}

TEST(WeeklyReflection, BandsByLocalHourAndLabels) {
  std::vector<FocusSample> history;
  for (auto [h, m] : {std::pair{5, 59}, {6, 0}, {11, 59}, {12, 0}, {17, 59}, {18, 0}, {23, 59}}) {
    history.push_back(finished(*newYork.date(2026, 3, 9, h, m, 0)));
  }
  history.push_back(finished(springTuesday, -5));  // not counted, so in no band
  EXPECT_EQ(WeeklyReflection(springTuesday, 0, history, {}, newYork).completionTimes(),
            (std::map<TimeOfDay, std::int64_t>{{TimeOfDay::morning, 2},
                                               {TimeOfDay::afternoon, 2},
                                               {TimeOfDay::evening, 2},
                                               {TimeOfDay::overnight, 1}}));
  EXPECT_EQ(WeeklyReflection::band(24), TimeOfDay::overnight);

  EXPECT_EQ(WeeklyReflection::timeOfDay("Morning \u00B7 6am\u2013noon"), TimeOfDay::morning);
  EXPECT_EQ(WeeklyReflection::timeOfDay("Morning \u00B7 6am-noon"), std::nullopt);
  for (TimeOfDay time : WeeklyReflection::allTimesOfDay) {
    EXPECT_EQ(WeeklyReflection::timeOfDay(WeeklyReflection::rawValue(time)), time);
  }
}

TEST(WeeklyReflection, AccomplishedGoalsPreferPrioritiesAndDropRepeats) {
  const Date thisWeek = springTuesday;
  const Date lastWeek = springTuesday - 7 * 86400.0;
  const UUID deleted = UUID::random();
  DailyPriority shipped{UUID::random(), "Ship Report", lastWeek, {"2026-03-02"}, thisWeek};
  DailyPriority oldWin{UUID::random(), "Old win", lastWeek, {"2026-03-02"}, lastWeek};
  DailyPriority open{UUID::random(), "Open one", lastWeek, {"2026-03-10"}, std::nullopt};
  const DailyPriorities plan({shipped, oldWin, open});

  const auto done = [&](std::string goal, Date at, std::optional<UUID> priority = {},
                        double duration = 60) {
    return FocusSample{std::move(goal), duration, at, thisWeek, priority};
  };
  const std::vector<FocusSample> history = {
      done("ship report", thisWeek),
      done("Open one session", thisWeek, open.id),  // its priority speaks for it
      done("Of a deleted priority", thisWeek, deleted),
      done("Finished last week", lastWeek),
      done("Odd duration", thisWeek, {}, std::nan("")),
      done("Stretch", thisWeek),
      done(" Stretch", thisWeek),
      done(" \n ", thisWeek),
      done("\u039F\u0394\u039F\u03A3", thisWeek),  // ΟΔΟΣ, lower-cased letter by letter
      done("\u03BF\u03B4\u03BF\u03C3", thisWeek),
      done("Cafe\u0301", thisWeek),
      done("caf\u00E9", thisWeek),
      FocusSample{"Not accomplished", 60, thisWeek, std::nullopt, std::nullopt},
      FocusSample{"Accomplished later", 60, thisWeek, thisWeek + 7 * 86400.0, std::nullopt},
  };
  const WeeklyReflection reflection(thisWeek, 0, history, plan, newYork);
  EXPECT_EQ(reflection.accomplishedGoals(),
            (std::vector<std::string>{"Ship Report", "Of a deleted priority", "Finished last week",
                                      "Odd duration", "Stretch", " Stretch",
                                      "\u039F\u0394\u039F\u03A3", "Cafe\u0301"}));
  EXPECT_EQ(reflection.completedSessions(), 12);
}

TEST(WeeklyReflection, BroughtForwardListsOpenPrioritiesPlannedAgain) {
  const auto priority = [](std::string title, std::vector<std::string> days, bool done = false) {
    return DailyPriority{UUID::random(), std::move(title), Date(), std::move(days),
                         done ? std::optional<Date>(Date()) : std::nullopt};
  };
  // The week runs from 2026-03-08 up to, not including, 2026-03-15.
  const DailyPriorities plan({
      priority("first day", {"2026-03-01", "2026-03-08"}),
      priority("last day", {"2026-03-14", "2026-03-20"}),
      priority("single day", {"2026-03-10"}),
      priority("accomplished", {"2026-03-01", "2026-03-10"}, true),
      priority("next week", {"2026-03-01", "2026-03-15"}),
      priority("first day", {"2026-03-09", "2026-03-10"}),
  });
  const WeeklyReflection reflection(springTuesday, 0, {}, plan, newYork);
  EXPECT_EQ(reflection.broughtForward(),
            (std::vector<std::string>{"first day", "last day", "first day"}));
}

}  // namespace
}  // namespace vorlane
