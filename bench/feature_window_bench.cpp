// Opening the small feature windows offscreen through their controllers: the first showing,
// which makes the window and its content, and a later one, after a close, which builds only
// a new content into the kept window.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "bench/offscreen_application.h"
#include "core/reminders/reminder_parser.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "ui/windows/focus_session_editor_controller.h"
#include "ui/windows/quick_command_controller.h"
#include "ui/windows/reminder_editor_controller.h"
#include "ui/windows/weekly_reflection_controller.h"

namespace vorlane {
namespace {

class FixedClock final : public Clock {
 public:
  Date now() const override { return Date(); }
};

Calendar benchCalendar() { return Calendar("Europe/Berlin", "en_US"); }

struct Window {
  std::function<void()> show;
  std::function<QWidget*()> window;
};

// The quick command window, the reminder editor (editing one, its fullest form), the focus
// session editor and the weekly reflection, each as its opener shows it.
Window windowOf(QuickCommandController& c) {
  return {[&c] { c.show(true, [](const std::string& text) { return text; }); },
          [&c] { return c.host().window(); }};
}

Window windowOf(ReminderEditorController& c) {
  static const Reminder reminder = ReminderParser(benchCalendar()).parse("4pm standup", Date());
  return {[&c] {
            c.show(reminder, [](const std::string&, const std::string&) { return reminder; });
          },
          [&c] { return c.host().window(); }};
}

Window windowOf(FocusSessionEditorController& c) {
  return {[&c] { c.show(25, false, false, [](const std::string&) {}); },
          [&c] { return c.host().window(); }};
}

// The weekly reflection over a full history: 100 sessions, one an hour back from the clock.
Window windowOf(WeeklyReflectionController& c) {
  static RecordFocusHistoryStore history(nullptr);
  static RecordDailyPrioritiesStore priorities(nullptr);
  if (history.entries().empty()) {
    std::vector<FocusHistoryEntry> entries;
    for (int i = 0; i < 100; ++i) {
      entries.push_back({UUID::random(), "session " + std::to_string(i), 1500, Date(-3600.0 * i),
                         i % 3 == 0 ? std::optional<Date>(Date(-3600.0 * i)) : std::nullopt,
                         std::nullopt});
    }
    history.setEntries(std::move(entries));
  }
  return {[&c] { c.show(history, priorities, [] {}); }, [&c] { return c.host().window(); }};
}

template <class Controller>
std::unique_ptr<Controller> make() {
  if constexpr (std::is_same_v<Controller, ReminderEditorController> ||
                std::is_same_v<Controller, WeeklyReflectionController>) {
    return std::make_unique<Controller>(std::make_shared<FixedClock>(), benchCalendar);
  } else {
    return std::make_unique<Controller>();
  }
}

// Closes the window and lets its content go, outside the timing.
void closeAndSettle(QWidget* window) {
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

template <class Controller>
void BM_FirstShowing(benchmark::State& state) {
  offscreenApplication();
  for (auto _ : state) {
    auto controller = make<Controller>();
    const Window w = windowOf(*controller);
    w.show();
    state.PauseTiming();
    closeAndSettle(w.window());
    controller.reset();
    state.ResumeTiming();
  }
}

template <class Controller>
void BM_LaterShowing(benchmark::State& state) {
  offscreenApplication();
  auto controller = make<Controller>();
  const Window w = windowOf(*controller);
  w.show();
  closeAndSettle(w.window());
  for (auto _ : state) {
    w.show();
    state.PauseTiming();
    closeAndSettle(w.window());
    state.ResumeTiming();
  }
}

// Once, before any other window of the process: fonts, style and platform window set up too.
BENCHMARK(BM_FirstShowing<ReminderEditorController>)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstShowing<QuickCommandController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterShowing<QuickCommandController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstShowing<ReminderEditorController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterShowing<ReminderEditorController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstShowing<FocusSessionEditorController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterShowing<FocusSessionEditorController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstShowing<WeeklyReflectionController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterShowing<WeeklyReflectionController>)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane
