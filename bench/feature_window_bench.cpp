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
#include "coordination/calendar_focus/calendar_focus_model.h"
#include "core/reminders/reminder_parser.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "ui/windows/calendar_focus/calendar_focus_controller.h"
#include "ui/windows/focus_history/focus_history_controller.h"
#include "ui/windows/focus_session_editor/focus_session_editor_controller.h"
#include "ui/windows/quick_command/quick_command_controller.h"
#include "ui/windows/reminder_editor/reminder_editor_controller.h"
#include "ui/windows/resume_note/resume_note_controller.h"
#include "ui/windows/today/today_controller.h"
#include "ui/windows/weekly_reflection/weekly_reflection_controller.h"

namespace vorlane {
namespace {

class FixedClock final : public Clock {
 public:
  explicit FixedClock(Date at = Date()) : at_(at) {}
  Date now() const override { return at_; }

 private:
  Date at_;
};

class AcceptingPrompt final : public ConfirmationPrompt {
 public:
  void ask(QWidget&, const Confirmation&, std::function<void(bool)> answer) override {
    answer(true);
  }
};

class IgnoringUrlOpener final : public UrlOpener {
 public:
  bool open(const QUrl&) override { return false; }
};

Calendar benchCalendar() { return Calendar("Europe/Berlin", "en_US"); }

struct Window {
  std::function<void()> show;
  std::function<QWidget*()> window;
};

// The quick command window, the reminder editor (editing one, its fullest form), the focus
// session editor, the calendar focus window, Today and the weekly reflection, each as its
// opener shows it.
Window windowOf(QuickCommandController& c) {
  return {[&c] { c.show(true, [](const std::string& text) { return text; }); },
          [&c] { return c.host().window(); }};
}

Window windowOf(ReminderEditorController& c) {
  static const Reminder reminder = ReminderParser(benchCalendar()).parse("4pm standup", Date());
  return {
      [&c] { c.show(reminder, [](const std::string&, const std::string&) { return reminder; }); },
      [&c] { return c.host().window(); }};
}

Window windowOf(FocusSessionEditorController& c) {
  return {[&c] { c.show(25, false, false, [](const std::string&) {}); },
          [&c] { return c.host().window(); }};
}

// Granted, and never answers a read: the calendar window shows its whole form, checking.
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

// What the coordinator hands the calendar window: an opted-in model and today's three
// priorities.
struct CalendarWindowInputs {
  CalendarWindowInputs() {
    records.setData(CalendarFocusOptIn::key, "true");
    priorities.apply([&](DailyPriorities& plan) {
      for (const char* title : {"Draft the plan", "Review the budget", "Call the printer"}) {
        plan.add(title, clock->now(), benchCalendar());
      }
    });
  }
  std::shared_ptr<const Clock> clock = std::make_shared<FixedClock>();
  InMemoryRecordStore records;
  RecordDailyPrioritiesStore priorities{&records};
  CalendarFocusModel model{{.source = std::make_shared<SilentCalendar>(),
                            .clock = clock,
                            .calendar = benchCalendar,
                            .maximumMinutes = [] { return 25; },
                            .recordStore = &records}};
};

CalendarWindowInputs& calendarWindowInputs() {
  static auto* inputs = new CalendarWindowInputs;
  return *inputs;
}

Window windowOf(CalendarFocusController& c) {
  return {[&c] {
            auto& inputs = calendarWindowInputs();
            c.show(inputs.model, inputs.priorities,
                   [](int, const std::string&, std::optional<UUID>) {});
          },
          [&c] { return c.host().window(); }};
}

Window windowOf(ResumeNoteController& c) {
  return {[&c] {
            c.show(
                "Draft the quarterly report", "Check the March totals", true, true,
                [](const std::string&) {}, [] {});
          },
          [&c] { return c.host().window(); }};
}

// The Today window over a day with three priorities and one left from the day before.
Window windowOf(TodayController& c) {
  static RecordDailyPrioritiesStore store(nullptr);
  if (store.plan().items().empty()) {
    const Date evening = *benchCalendar().date(2026, 3, 29, 18, 0);
    const Date morning = *benchCalendar().date(2026, 3, 30, 9, 0);
    store.apply([&](DailyPriorities& plan) {
      plan.add("Reply to the landlord", evening, benchCalendar());
      for (const char* title : {"Write the report", "Call the bank", "Water the plants"}) {
        plan.add(title, morning, benchCalendar());
      }
    });
  }
  return {[&c] {
            c.show(
                store, 25, std::nullopt, [] {}, [](const UUID&, bool) {});
          },
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
  if constexpr (std::is_same_v<Controller, ReminderEditorController> ||
                std::is_same_v<Controller, WeeklyReflectionController>) {
    return std::make_unique<Controller>(std::make_shared<FixedClock>(), benchCalendar);
  } else if constexpr (std::is_same_v<Controller, CalendarFocusController>) {
    return std::make_unique<Controller>(CalendarFocusController::Dependencies{
        .clock = calendarWindowInputs().clock,
        .calendar = benchCalendar,
        .openUrl = [](const QUrl&) {},
        .calendarsFolder = [] { return std::optional<std::filesystem::path>(); },
        .watchActivation = [](QObject*, std::function<void()>) {},
    });
  } else if constexpr (std::is_same_v<Controller, TodayController>) {
    static const FixedClock clock(*benchCalendar().date(2026, 3, 30, 10, 0));
    static AcceptingPrompt prompt;
    static IgnoringUrlOpener urls;
    return std::make_unique<Controller>(WindowServices{clock, benchCalendar, prompt, urls});
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
BENCHMARK(BM_FirstShowing<CalendarFocusController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterShowing<CalendarFocusController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstShowing<TodayController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterShowing<TodayController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstShowing<WeeklyReflectionController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterShowing<WeeklyReflectionController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstShowing<ResumeNoteController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterShowing<ResumeNoteController>)->Unit(benchmark::kMillisecond);
// Target: under 50 ms with 100 entries.
BENCHMARK(BM_FirstShowing<FocusHistoryController>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaterShowing<FocusHistoryController>)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane
