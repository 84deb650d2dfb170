// One tick of the coordinator over 200 to 80,000 stored reminders, driven through its own
// ticker: reminders due together (30, and the 667 a minute of
// bench/many_reminders_bench.sh's data holds) and a tick with nothing due. The mascot is
// busy after the first visit, so the others are held, as on the desktop; the status is read
// at every state signal, as the status item's icon reads it. Each environment snapshot
// walks /proc for a camera as the real probe does. Counted per tick: the snapshots, the
// state signals, the visits offered to the mascot and the copies of the stored list.
// Targets: under 20 ms with 200 stored and 30 due, growing with stored plus due (not their
// product); under 5 ms with nothing due at 80,000.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/brief_run.h"
#include "coordination/coordinator/visit_coordinator.h"
#include "platform/desktop/capture/proc_camera_usage.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "tests/support/coordinator_over_fakes.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_environment.h"
#include "tests/support/fake_feature_windows.h"
#include "tests/support/fake_reminder_store.h"
#include "tests/support/fake_repeating_timer.h"
#include "tests/support/fake_services.h"
#include "tests/support/fake_visit_presenter.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/seeded_random_generator.h"

namespace vorlane {
namespace {

const Calendar utc("UTC", "en_US");
// The reminders were made at 8:00; the bench's ticks run from 9:28:40 on. No daily time of
// the stored mix falls in the 9 o'clock hour.
const Date created = *utc.date(2026, 3, 10, 8, 0, 0);
const Date burst = *utc.date(2026, 3, 10, 9, 30, 0);

// The stored mix of bench/many_reminders_bench.sh (a third each of one-off times a day
// ahead, countdowns of a day, and daily times), with `due` of them, spread evenly, daily at
// 9:30 instead.
const std::vector<Reminder>& storedReminders(std::int64_t count, std::int64_t due) {
  static std::map<std::pair<std::int64_t, std::int64_t>, std::vector<Reminder>> made;
  auto& list = made[{count, due}];
  if (!list.empty()) return list;
  list.reserve(static_cast<std::size_t>(count));
  const std::int64_t every = due > 0 ? count / due : count + 1;
  for (std::int64_t i = 0; i < count; ++i) {
    const std::string phrase = "Water the plants on the balcony, box " + std::to_string(i);
    const auto offset = static_cast<double>(i);
    VisitTrigger trigger =
        i % every == 0 && i / every < due
            ? VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), 9, 30))
        : i % 3 == 0 ? VisitTrigger::oneOff(created + 86400.0 + offset)
        : i % 3 == 1 ? VisitTrigger::countdown(86400.0 + offset)
                     : VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), i % 24, i % 60));
    list.emplace_back(UUID::random(), phrase, std::move(trigger), created);
  }
  return list;
}

// The environment as the desktop's probe reads it: every snapshot walks the descriptors of
// every process for a camera, and is counted.
class ProbingEnvironment final : public EnvironmentSnapshotSource {
 public:
  EnvironmentSnapshot snapshot(Date now, std::optional<Date> mutedUntil,
                               const std::optional<std::string>& preferredScreenID) override {
    ++snapshots;
    EnvironmentSnapshot taken = facts_.snapshot(now, mutedUntil, preferredScreenID);
    taken.cameraInUse = camera_.isCameraInUse();
    return taken;
  }

  std::int64_t snapshots = 0;

 private:
  FakeEnvironment facts_;
  ProcCameraUsage camera_{"/proc", static_cast<long>(getpid())};
};

// A started coordinator over fakes, its reminder store holding `count` reminders, ticked
// every 30 s from 9:28:40 so that its searches are warm.
struct TickedCoordinator {
  TickedCoordinator(std::int64_t count, std::int64_t due) {
    for (const Reminder& reminder : storedReminders(count, due)) reminders->add(reminder);
    VisitCoordinator::Dependencies given = coordinatorOverFakes(
        clock, utc, preferences, reminders, records, timers.factory(), windows.controllers());
    given.ticker = ticker;
    given.presenter = presenter;
    given.environment = environment;
    coordinator = VisitCoordinator::create(std::move(given));
    // As the status item's icon: the whole status but the reminders' rows.
    coordinator->onStateChanged = [this] {
      ++stateSignals;
      benchmark::DoNotOptimize(coordinator->status(0));
    };
    coordinator->start();
    tick();
    tick();
  }

  // The next tick, 30 s after the previous one.
  void tick() {
    clock->advance(30);
    ticker->fire();
  }

  InMemoryRecordStore records;
  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(burst - 80.0);
  std::shared_ptr<InMemoryPreferencesStore> preferences =
      std::make_shared<InMemoryPreferencesStore>();
  std::shared_ptr<FakeReminderStore> reminders = std::make_shared<FakeReminderStore>();
  std::shared_ptr<FakeTicker> ticker = std::make_shared<FakeTicker>();
  std::shared_ptr<FakeVisitPresenter> presenter = std::make_shared<FakeVisitPresenter>();
  std::shared_ptr<ProbingEnvironment> environment = std::make_shared<ProbingEnvironment>();
  FakeRepeatingTimerFactory timers;
  FakeFeatureWindows windows;
  std::shared_ptr<VisitCoordinator> coordinator;
  std::int64_t stateSignals = 0;
};

// The tick at 9:30:10 that finds `due` reminders due at 9:30 among `stored`; each iteration
// on a fresh coordinator (made with the timing paused).
void BM_TickWithRemindersDueTogether(benchmark::State& state) {
  const std::int64_t stored = state.range(0);
  const std::int64_t due = state.range(1);
  std::int64_t snapshots = 0;
  std::int64_t signals = 0;
  std::int64_t offered = 0;
  std::int64_t copies = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto ticked = std::make_unique<TickedCoordinator>(stored, due);
    const std::int64_t snapshotsBefore = ticked->environment->snapshots;
    const std::int64_t signalsBefore = ticked->stateSignals;
    const int copiesBefore = ticked->reminders->copies;
    state.ResumeTiming();
    ticked->tick();
    state.PauseTiming();
    snapshots += ticked->environment->snapshots - snapshotsBefore;
    signals += ticked->stateSignals - signalsBefore;
    offered += static_cast<std::int64_t>(ticked->presenter->offered.size());
    copies += ticked->reminders->copies - copiesBefore;
    ticked.reset();
    state.ResumeTiming();
  }
  const auto perTick = benchmark::Counter::kAvgIterations;
  state.counters["snapshots"] = benchmark::Counter(static_cast<double>(snapshots), perTick);
  state.counters["signals"] = benchmark::Counter(static_cast<double>(signals), perTick);
  state.counters["offered"] = benchmark::Counter(static_cast<double>(offered), perTick);
  state.counters["copies"] = benchmark::Counter(static_cast<double>(copies), perTick);
}
BENCHMARK(BM_TickWithRemindersDueTogether)
    ->Args({200, 30})
    ->Args({20'000, 30})
    ->Args({80'000, 30})
    ->Args({80'000, 667})
    ->Iterations(fixedIterations(5))
    ->Unit(benchmark::kMillisecond);

// Ticks 30 s apart with nothing due, from 9:30:10 on (fifty of them end before 10:00).
void BM_TickWithNothingDue(benchmark::State& state) {
  TickedCoordinator ticked(state.range(0), 0);
  const std::int64_t snapshotsBefore = ticked.environment->snapshots;
  const int copiesBefore = ticked.reminders->copies;
  for (auto _ : state) ticked.tick();
  if (!ticked.presenter->offered.empty()) state.SkipWithError("a visit was due");
  const auto perTick = benchmark::Counter::kAvgIterations;
  state.counters["snapshots"] = benchmark::Counter(
      static_cast<double>(ticked.environment->snapshots - snapshotsBefore), perTick);
  state.counters["copies"] =
      benchmark::Counter(static_cast<double>(ticked.reminders->copies - copiesBefore), perTick);
}
BENCHMARK(BM_TickWithNothingDue)
    ->Arg(200)
    ->Arg(20'000)
    ->Arg(80'000)
    ->Iterations(fixedIterations(50))
    ->Unit(benchmark::kMillisecond);

// One look at the desktop as the bench's environment takes it, for what the ticks above
// spend on their snapshots.
void BM_EnvironmentSnapshot(benchmark::State& state) {
  ProbingEnvironment environment;
  for (auto _ : state) {
    benchmark::DoNotOptimize(environment.snapshot(burst, std::nullopt, std::nullopt));
  }
}
BENCHMARK(BM_EnvironmentSnapshot)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane
