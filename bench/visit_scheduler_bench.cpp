#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/settings/preferences.h"
#include "core/visits/visit_scheduler.h"
#include "foundation/calendar.h"
#include "foundation/random.h"
#include "tests/support/fake_clock.h"
#include "tests/support/seeded_random_generator.h"

namespace vorlane {
namespace {

const Calendar benchCalendar("America/New_York", "en_US");

// A realistic mix: half recurring (daily, weekdays, chosen days) at random times, a quarter
// one-off within the next month, a fifth countdowns, the rest hourly.
std::vector<Reminder> makeReminders(std::int64_t count, Date start) {
  SeededRandomGenerator random(42);
  std::vector<Reminder> reminders;
  reminders.reserve(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) {
    const std::uint64_t kind = uniformBelow(random, 20);
    const auto hour = static_cast<std::int64_t>(uniformBelow(random, 24));
    const auto minute = static_cast<std::int64_t>(uniformBelow(random, 60));
    VisitTrigger trigger = VisitTrigger::hourly();
    if (kind < 4) {
      trigger = VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), hour, minute));
    } else if (kind < 7) {
      trigger = VisitTrigger::recurring(Recurrence(RecurrenceDays::weekdays(), hour, minute));
    } else if (kind < 10) {
      trigger = VisitTrigger::recurring(Recurrence(
          RecurrenceDays::specific({static_cast<std::int64_t>(uniformBelow(random, 7)) + 1}), hour,
          minute));
    } else if (kind < 15) {
      trigger = VisitTrigger::oneOff(start + uniformClosed(random, 0, 30 * 86400.0));
    } else if (kind < 19) {
      trigger = VisitTrigger::countdown(uniformClosed(random, 60, 8 * 3600.0));
    }
    reminders.emplace_back(UUID::random(), "reminder", std::move(trigger), start);
  }
  return reminders;
}

struct Setup {
  explicit Setup(std::int64_t count)
      : clock(std::make_shared<FakeClock>(*benchCalendar.date(2026, 3, 10, 8, 0, 0))),
        scheduler(clock, benchCalendar, [] { return Preferences(); }) {
    scheduler.setReminders(makeReminders(count, clock->peek()));
    scheduler.dueVisits();  // anchors
  }
  std::shared_ptr<FakeClock> clock;
  VisitScheduler scheduler;
};

// One ordinary tick: 30 s after the previous poll, on a scheduler that has been running.
void BM_DueVisitsPoll(benchmark::State& state) {
  Setup setup(state.range(0));
  for (int i = 0; i < 4; ++i) {  // past the first searches
    setup.clock->advance(30);
    benchmark::DoNotOptimize(setup.scheduler.dueVisits());
  }
  for (auto _ : state) {
    setup.clock->advance(30);
    benchmark::DoNotOptimize(setup.scheduler.dueVisits());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DueVisitsPoll)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

// The first poll after the reminders are handed to a new scheduler: every trigger is
// searched once.
void BM_DueVisitsFirstPollAfterLoad(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto setup = std::make_unique<Setup>(state.range(0));
    setup->clock->advance(30);
    state.ResumeTiming();
    benchmark::DoNotOptimize(setup->scheduler.dueVisits());
    state.PauseTiming();
    setup.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DueVisitsFirstPollAfterLoad)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vorlane
