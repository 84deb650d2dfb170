#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QWidget>
#include <memory>
#include <vector>

#include "bench/offscreen_application.h"
#include "coordination/calendar_focus_model.h"
#include "platform/persistence/daily_priorities_store.h"
#include "platform/persistence/in_memory_record_store.h"
#include "ui/windows/calendar_focus_controller.h"

namespace vorlane {
namespace {

// Granted, and never answers a read: the window shows its whole form while it checks.
class SilentCalendar final : public CalendarAvailabilitySource {
 public:
  CalendarAccess access() const override { return CalendarAccess::granted; }
  void requestAccess(AccessCompletion completion) override {
    asks_.push_back(std::move(completion));
  }
  void busyIntervals(DateInterval, BusyCompletion completion) override {
    reads_.push_back(std::move(completion));
  }

 private:
  std::vector<AccessCompletion> asks_;
  std::vector<BusyCompletion> reads_;
};

class FixedClock final : public Clock {
 public:
  Date now() const override { return Date(800000000); }
};

// The window, its model and the priorities it offers, as the coordinator holds them.
struct Bench {
  Bench() {
    records.setData(CalendarFocusOptIn::key, "true");
    priorities.apply([&](DailyPriorities& plan) {
      for (const char* title : {"Draft the plan", "Review the budget", "Call the printer"}) {
        plan.add(title, clock->now(), berlin);
      }
    });
  }
  std::unique_ptr<CalendarFocusController> makeController() const {
    return std::make_unique<CalendarFocusController>(CalendarFocusController::Dependencies{
        .clock = clock,
        .calendar = [calendar = berlin] { return calendar; },
        .openUrl = [](const QUrl&) {},
        .calendarsFolder = [] { return std::optional<std::filesystem::path>(); },
        .watchActivation = [](QObject*, std::function<void()>) {},
    });
  }
  void show(CalendarFocusController& controller) {
    controller.show(model, priorities, [](int, const std::string&, std::optional<UUID>) {});
    // Laid out and painted, as the user first sees it.
    QCoreApplication::processEvents();
    controller.host().window()->grab();
  }

  const Calendar berlin{"Europe/Berlin", "en_GB"};
  std::shared_ptr<const Clock> clock = std::make_shared<FixedClock>();
  InMemoryRecordStore records;
  DailyPrioritiesStore priorities{&records};
  CalendarFocusModel model{{.source = std::make_shared<SilentCalendar>(),
                            .clock = clock,
                            .calendar = [calendar = berlin] { return calendar; },
                            .maximumMinutes = [] { return 25; },
                            .defaults = &records}};
};

void closeAndSettle(CalendarFocusController& controller) {
  controller.host().window()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The first showing makes the window, its content and its widgets. Target: under 50 ms.
void BM_CalendarFocusWindowFirstShowing(benchmark::State& state) {
  offscreenApplication();
  Bench bench;
  for (auto _ : state) {
    state.PauseTiming();
    auto controller = bench.makeController();
    state.ResumeTiming();
    bench.show(*controller);
    state.PauseTiming();
    closeAndSettle(*controller);
    controller.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CalendarFocusWindowFirstShowing)->Unit(benchmark::kMillisecond);

// A later showing reuses the window and builds only a fresh content.
void BM_CalendarFocusWindowLaterShowing(benchmark::State& state) {
  offscreenApplication();
  Bench bench;
  auto controller = bench.makeController();
  bench.show(*controller);
  for (auto _ : state) {
    state.PauseTiming();
    closeAndSettle(*controller);
    state.ResumeTiming();
    bench.show(*controller);
  }
  closeAndSettle(*controller);
}
BENCHMARK(BM_CalendarFocusWindowLaterShowing)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane
