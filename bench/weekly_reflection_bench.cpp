// The weekly reflection's figures as its window computes them at every refresh: the full
// history of 100 sessions and a full archive of 200 priorities, nothing cached.

#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/windows/weekly_reflection/weekly_reflection_figures.h"

namespace vorlane {
namespace {

const Calendar& newYork() {
  static const Calendar calendar("America/New_York", "en_US");
  return calendar;
}

// Tuesday after the week in which the clocks went back.
const Date tuesday = *newYork().date(2026, 11, 10, 10, 0, 0);

std::vector<FocusHistoryEntry> fullHistory() {
  std::vector<FocusHistoryEntry> entries;
  for (int i = 0; i < 100; ++i) {
    const Date finished = tuesday - 3 * 3600.0 * i;
    entries.push_back({UUID::random(), "session " + std::to_string(i % 40), 1500, finished,
                       i % 4 == 0 ? std::optional<Date>(finished) : std::nullopt, std::nullopt});
  }
  return entries;
}

// Each priority planned on three days of the fortnight, every fifth one accomplished.
DailyPriorities fullArchive() {
  std::vector<DailyPriority> items;
  for (int i = 0; i < 200; ++i) {
    const Date day = tuesday - 86400.0 * (i % 14);
    std::vector<std::string> days;
    for (int d = 2; d >= 0; --d)
      days.push_back(DailyPriorities::dayKey(day - 86400.0 * d, newYork()));
    items.push_back({UUID::random(), "priority " + std::to_string(i), day, days,
                     i % 5 == 0 ? std::optional<Date>(day) : std::nullopt});
  }
  return DailyPriorities(items);
}

void BM_WeeklyReflectionFigures(benchmark::State& state) {
  const std::vector<FocusHistoryEntry> history = fullHistory();
  const DailyPriorities plan = fullArchive();
  const std::int64_t week = state.range(0);
  for (auto _ : state) {
    const WeeklyReflection reflection = reflectionOf(history, plan, tuesday, week, newYork());
    const QString range = weekRangeLine(reflection.interval(), newYork());
    const QString totals =
        completedSessionsLine(reflection.completedSessions(), reflection.recordedMinutes());
    benchmark::DoNotOptimize(range);
    benchmark::DoNotOptimize(totals);
  }
}
BENCHMARK(BM_WeeklyReflectionFigures)->Arg(0)->Arg(-1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vorlane
