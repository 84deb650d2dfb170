// Opening the small feature windows offscreen through their controllers: the first showing,
// which makes the window and its content, and a later one, after a close, which builds only
// a new content into the kept window.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <functional>
#include <memory>
#include <type_traits>

#include "bench/offscreen_application.h"
#include "core/reminders/reminder_parser.h"
#include "platform/persistence/record_focus_history_store.h"
#include "ui/windows/focus_history_controller.h"
#include "ui/windows/focus_session_editor_controller.h"
#include "ui/windows/quick_command_controller.h"
#include "ui/windows/reminder_editor_controller.h"
#include "ui/windows/resume_note_controller.h"

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

// The quick command window, the reminder editor (editing one, its fullest form) and the
// focus session editor, each as its opener shows it.
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

Window windowOf(ResumeNoteController& c) {
  return {[&c] {
            c.show("Draft the quarterly report", "Check the March totals", true,
                   [](const std::string&) {}, [] {});
          },
          [&c] { return c.host().window(); }};
}

// The history at its fullest: 100 entries, each goal at the length limit.
FocusHistoryStore& fullHistory() {
  static RecordFocusHistoryStore store(nullptr);
  if (store.entries().empty()) {
    for (int i = 0; i < 100; ++i) {
      PomodoroSession::Completion completion;
      completion.duration = 1500;
      completion.finishedAt = Date(800'000'000.0 + 3600.0 * i);
      completion.focus = std::string(60, 'a') + " " + std::string(59, 'b');
      completion.sessionID = UUID::random();
      store.record(completion);
    }
  }
  return store;
}

Window windowOf(FocusHistoryController& c) {
  FocusHistoryStore& store = fullHistory();
  return {[&c, &store] { c.show(store); }, [&c] { return c.host().window(); }};
}

// Nobody answers: the history's prompt is never opened here.
struct SilentPrompt final : ConfirmationPrompt {
  void ask(QWidget&, const Confirmation&, std::function<void(bool)>) override {}
};
struct NoUrls final : UrlOpener {
  bool open(const QUrl&) override { return false; }
};

template <class Controller>
std::unique_ptr<Controller> make() {
  if constexpr (std::is_same_v<Controller, ReminderEditorController>) {
    return std::make_unique<Controller>(std::make_shared<FixedClock>(), benchCalendar);
  } else if constexpr (std::is_same_v<Controller, FocusHistoryController>) {
    static const FixedClock clock;
    static SilentPrompt prompt;
    static NoUrls urls;
    return std::make_unique<Controller>(WindowServices{clock, benchCalendar, prompt, urls});
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
BENCHMARK(BM_FirstShowing<ResumeNoteController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterShowing<ResumeNoteController>)->Unit(benchmark::kMillisecond);
// Target: under 50 ms with 100 entries.
BENCHMARK(BM_FirstShowing<FocusHistoryController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterShowing<FocusHistoryController>)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane
