#include <benchmark/benchmark.h>
#include <unicode/calendar.h>

#include "foundation/calendar.h"
#include "foundation/text.h"

namespace vorlane {
namespace {

const Calendar& newYork() {
  static const Calendar calendar("America/New_York", "en_US");
  return calendar;
}

// 2026-03-07 23:10 EST, a few hours before the clocks go forward.
const Date eveningBeforeSpringForward = Date::fromUnix(1772943000.0);

void BM_NextDate(benchmark::State& state) {
  Date after = eveningBeforeSpringForward;
  for (auto _ : state) {
    const std::optional<Date> next = newYork().nextDate(after, 30);
    benchmark::DoNotOptimize(next);
    after = after + 60.0;
  }
}
BENCHMARK(BM_NextDate);

void BM_PlaceWallTimeOnDay(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(newYork().date(9, 30, 0, eveningBeforeSpringForward));
  }
}
BENCHMARK(BM_PlaceWallTimeOnDay);

void BM_Components(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(newYork().components(eveningBeforeSpringForward));
  }
}
BENCHMARK(BM_Components);

void BM_WeekInterval(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(newYork().weekInterval(eveningBeforeSpringForward));
  }
}
BENCHMARK(BM_WeekInterval);

void BM_MakeCalendar(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Calendar("Europe/Berlin", "de_DE"));
}
BENCHMARK(BM_MakeCalendar);

// Every formatted date takes a fresh ICU calendar, zone included.
void BM_MakeIcuCalendar(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(newYork().makeIcuCalendar());
}
BENCHMARK(BM_MakeIcuCalendar);

void BM_GraphemeCountAscii(benchmark::State& state) {
  const std::string text = "Stand up, stretch and drink a glass of water before the next call";
  for (auto _ : state) benchmark::DoNotOptimize(graphemeCount(text));
}
BENCHMARK(BM_GraphemeCountAscii);

void BM_GraphemeCountEmoji(benchmark::State& state) {
  const std::string text =
      "Caf\u00e9 with the family \U0001F468\u200D\U0001F469\u200D\U0001F467 at 4pm "
      "\U0001F44D\U0001F3FD";
  for (auto _ : state) benchmark::DoNotOptimize(graphemeCount(text));
}
BENCHMARK(BM_GraphemeCountEmoji);

}  // namespace
}  // namespace vorlane
