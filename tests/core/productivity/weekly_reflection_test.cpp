#include "core/productivity/weekly_reflection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/productivity/calendar_gap_finder.h"

namespace vorlane {
namespace {

using TimeOfDay = WeeklyReflection::TimeOfDay;

const Calendar newYork("America/New_York", "en_US");  // weeks start on Sunday
const Calendar london("Europe/London", "en_GB");      // weeks start on Monday
// Tuesday of the week in which New York's clocks go forward (Sunday 8 March 2026).
const Date springTuesday = *newYork.date(2026, 3, 10, 9, 0, 0);

FocusSample finished(Date at, double duration = 1500) { return {"goal", duration, at, {}, {}}; }

TEST(WeeklyReflection, WeekRunsByCalendarDaysAcrossClockChanges) {
  // Calendar, a moment, the week offset, the week's length and its first day.
  const std::tuple<const Calendar*, Date, int, double, const char*> rows[] = {
      {&newYork, springTuesday, 0, 601200, "2026-03-08"},
      {&newYork, springTuesday, -1, 604800, "2026-03-01"},
      {&newYork, *newYork.date(2026, 11, 7, 23, 0, 0), 0, 608400, "2026-11-01"},
      {&london, *london.date(2026, 3, 29, 12, 0, 0), 0, 601200, "2026-03-23"},
  };
  for (const auto& [calendar, at, offset, length, firstDay] : rows) {
    SCOPED_TRACE(firstDay);
    const DateInterval week = WeeklyReflection(at, offset, {}, {}, *calendar).interval();
    EXPECT_EQ(week.end - week.start, length);
    EXPECT_EQ(DailyPriorities::dayKey(week.start, *calendar), firstDay);
    // Sessions on the first and the last second count; those just outside do not.
    const WeeklyReflection edges(at, offset,
                                 {finished(week.start - 1), finished(week.start),
                                  finished(week.end - 1), finished(week.end)},
                                 {}, *calendar);
    EXPECT_EQ(edges.completedSessions(), 2);
    EXPECT_EQ(edges.recordedMinutes(), 50);
  }
}

TEST(WeeklyReflection, CountsOnlyUsableDurationsRoundsHalfUpAndBandsByLocalHour) {
  const auto reflect = [](std::vector<double> durations) {
    std::vector<FocusSample> history;
    for (double d : durations) history.push_back(finished(springTuesday, d));
    return WeeklyReflection(springTuesday, 0, history, {}, newYork);
  };
  EXPECT_EQ(reflect({1500, 1530}).recordedMinutes(), 51);  // 50.5
  EXPECT_EQ(reflect({1500, 1529}).recordedMinutes(), 50);
  EXPECT_EQ(reflect({1500, -1, std::nan(""), INFINITY}).completedSessions(), 1);
  EXPECT_EQ(reflect({1e308, 1e308}).recordedMinutes(), std::int64_t{1} << 62);  // capped

  std::vector<FocusSample> history;
  for (auto [h, m] : {std::pair{5, 59}, {6, 0}, {11, 59}, {12, 0}, {17, 59}, {18, 0}, {23, 59}}) {
    history.push_back(finished(*newYork.date(2026, 3, 9, h, m, 0)));
  }
  EXPECT_EQ(WeeklyReflection(springTuesday, 0, history, {}, newYork).completionTimes(),
            (std::map<TimeOfDay, std::int64_t>{{TimeOfDay::morning, 2},
                                               {TimeOfDay::afternoon, 2},
                                               {TimeOfDay::evening, 2},
                                               {TimeOfDay::overnight, 1}}));
}

// Each label gives its band back; text that only looks like one (another dash, dot or
// letter case, blanks around it, a label cut short) gives none.
TEST(WeeklyReflection, ABandIsFoundOnlyByItsExactLabel) {
  const std::pair<const char*, std::optional<TimeOfDay>> rows[] = {
      {"Morning \u00B7 6am\u2013noon", TimeOfDay::morning},
      {"Afternoon \u00B7 noon\u20136pm", TimeOfDay::afternoon},
      {"Evening \u00B7 6pm\u2013midnight", TimeOfDay::evening},
      {"Overnight \u00B7 midnight\u20136am", TimeOfDay::overnight},
      {"Morning \u00B7 6am-noon", std::nullopt},       // a plain hyphen
      {"Morning - 6am\u2013noon", std::nullopt},       // a hyphen for the dot
      {"morning \u00B7 6am\u2013noon", std::nullopt},  // letter case
      {" Morning \u00B7 6am\u2013noon", std::nullopt},
      {"Morning \u00B7 6am\u2013noon ", std::nullopt},
      {"Morning \u00B7 6am\u2013", std::nullopt},
      {"Morning", std::nullopt},
      {"morning", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [label, band] : rows) {
    EXPECT_EQ(WeeklyReflection::timeOfDay(label), band) << label;
  }
  for (const TimeOfDay time : WeeklyReflection::allTimesOfDay) {
    EXPECT_EQ(WeeklyReflection::timeOfDay(WeeklyReflection::rawValue(time)), time);
  }
}

TEST(WeeklyReflection, AccomplishedGoalsAndOpenPrioritiesBroughtForward) {
  const auto priority = [](std::string title, std::vector<std::string> days,
                           std::optional<Date> done = {}) {
    return DailyPriority{UUID::random(), std::move(title), Date(), std::move(days), done};
  };
  // The week runs from 2026-03-08 up to, not including, 2026-03-15.
  const DailyPriority open = priority("Open one", {"2026-03-01", "2026-03-08"});
  const DailyPriorities plan({priority("Ship Report", {"2026-03-02"}, springTuesday), open,
                              priority("next week", {"2026-03-01", "2026-03-15"})});
  const auto done = [](std::string goal, std::optional<UUID> priority = {}) {
    return FocusSample{std::move(goal), 60, springTuesday, springTuesday, priority};
  };
  const WeeklyReflection reflection(
      springTuesday, 0,
      {done("ship report"), done("Open one session", open.id),  // its priority speaks for it
       done("Of a deleted priority", UUID::random()), done("Stretch"), done(" \n "),
       done("\u039F\u0394\u039F\u03A3"), done("\u03BF\u03B4\u03BF\u03C3")},  // ΟΔΟΣ, οδοσ
      plan, newYork);
  EXPECT_EQ(reflection.accomplishedGoals(),
            (std::vector<std::string>{"Ship Report", "Of a deleted priority", "Stretch",
                                      "\u039F\u0394\u039F\u03A3"}));
  EXPECT_EQ(reflection.broughtForward(), std::vector<std::string>{"Open one"});
}

const Date at(800000000);
constexpr double minute = 60, hour = 3600;

BusyInterval busy(double from, double to) { return {at + from, at + to}; }

FocusOpportunity offer(std::int64_t minutes, std::optional<double> next = {}) {
  return {minutes, at + minutes * minute, next ? std::optional<Date>(at + *next) : std::nullopt};
}

TEST(CalendarGap, SuggestsABlockThatStopsShortOfTheNextBusyStretch) {
  struct Row {
    const char* name;
    double through;
    std::vector<BusyInterval> busy;
    std::int64_t maximumMinutes;
    std::optional<FocusOpportunity> expected;
  };
  const double h3 = 3 * hour;
  const Row rows[] = {
      {"maximum of 4", h3, {}, 4, std::nullopt},
      {"caller maximum", h3, {}, 25, offer(25)},
      {"maximum above 90", h3, {}, 200, offer(90)},
      {"exactly 5 minutes to through", 5 * minute, {}, 90, offer(5)},
      {"just under 5 minutes to through", 5 * minute - 1, {}, 90, std::nullopt},
      {"already started", h3, {busy(-minute, minute), busy(2 * hour, h3)}, 90, std::nullopt},
      {"ended exactly at at", h3, {busy(-hour, 0)}, 90, offer(90)},
      {"empty and inverted", h3, {busy(hour, hour), busy(2 * hour, minute)}, 90, offer(90)},
      {"next in 7 minutes", h3, {busy(7 * minute, hour)}, 90, offer(5, 7 * minute)},
      {"next in 6:59", h3, {busy(7 * minute - 1, hour)}, 90, std::nullopt},
      {"58.5 minutes free", h3, {busy(hour + 30, 2 * hour)}, 90, offer(58, hour + 30)},
      {"unsorted and overlapping",
       h3,
       {busy(2 * hour, h3), busy(40 * minute, 2 * hour), busy(50 * minute, 55 * minute),
        busy(-2 * hour, -hour)},
       90,
       offer(38, 40 * minute)},
      {"touching", h3, {busy(hour, 2 * hour), busy(30 * minute, hour)}, 90, offer(28, 30 * minute)},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CalendarGap::suggest(at, at + row.through, row.busy, row.maximumMinutes),
              row.expected)
        << row.name;
  }
}

}  // namespace
}  // namespace vorlane
