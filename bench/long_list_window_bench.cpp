// Today over a full archive of unfinished priorities and the focus history over 100 and 400
// entries, offscreen: from show() until every row is laid out, and one action (bringing a
// priority to today, marking an entry near the bottom) until the list is laid out again.
// Target: each under 50 ms at 100 rows, growing no faster than the rows.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/offscreen_application.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "ui/kit/feature_window.h"
#include "ui/windows/focus_history/focus_history_controller.h"
#include "ui/windows/focus_history/focus_history_row.h"
#include "ui/windows/focus_history/focus_history_view.h"
#include "ui/windows/today/today_controller.h"
#include "ui/windows/today/today_view.h"

namespace vorlane {
namespace {

class FixedClock final : public Clock {
 public:
  explicit FixedClock(Date at) : at_(at) {}
  Date now() const override { return at_; }

 private:
  Date at_;
};

struct SilentPrompt final : ConfirmationPrompt {
  void ask(QWidget&, const Confirmation&, std::function<void(bool)>) override {}
};
struct NoUrls final : UrlOpener {
  bool open(const QUrl&) override { return false; }
};

Calendar berlin() { return Calendar("Europe/Berlin", "en_US"); }

const Date monday = *berlin().date(2026, 3, 30, 10, 0);

WindowServices services() {
  static const FixedClock clock(monday);
  static SilentPrompt prompt;
  static NoUrls urls;
  return WindowServices{clock, berlin, prompt, urls};
}

// Runs what the event loop has until `done`, then the layout passes that asks for.
void settle(const std::function<bool()>& done = [] { return true; }) {
  for (int pass = 0; pass < 10'000 && !done(); ++pass) QCoreApplication::processEvents();
  for (int pass = 0; pass < 3; ++pass) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

// Outside the timing: closes the window, and skips with `problem` unless it was `laidOut`.
// False after a skip, when the timing stays stopped and the caller leaves its loop: Google
// Benchmark resumes no timing after an error.
[[nodiscard]] bool closeUntimed(benchmark::State& state, FeatureWindow& host,
                                const std::function<bool()>& laidOut, const char* problem) {
  state.PauseTiming();
  const bool wasLaidOut = laidOut();
  host.window()->close();
  settle();
  if (!wasLaidOut) {
    state.SkipWithError(problem);
    return false;
  }
  state.ResumeTiming();
  return true;
}

// `count` open priorities, three a day on the days before today, titles long enough to wrap.
void fillArchive(DailyPrioritiesStore& store, int count) {
  store.apply([&](DailyPriorities& plan) {
    for (int i = 0; i < count; ++i) {
      const Date day = monday - 86400.0 * (1 + i / 3);
      plan.add(
          "Follow up on the supplier contract and the delivery dates, item " + std::to_string(i),
          day, berlin());
    }
  });
}

void BM_TodayShownWithCarried(benchmark::State& state) {
  offscreenApplication();
  const auto count = static_cast<std::size_t>(state.range(0));
  RecordDailyPrioritiesStore store(nullptr);
  fillArchive(store, static_cast<int>(count));
  for (auto _ : state) {
    TodayController controller(services());
    controller.show(
        store, 25, std::nullopt, [] {}, [](const UUID&, bool) {});
    settle();
    const bool closed = closeUntimed(
        state, controller.host(),
        [&] {
          auto& view = dynamic_cast<TodayView&>(*controller.host().content());
          return view.earlierCards().size() == count && view.earlierCards().back()->height() > 0;
        },
        "the earlier cards were not all laid out");
    if (!closed) break;
  }
}

void BM_TodayBringToToday(benchmark::State& state) {
  offscreenApplication();
  const auto count = static_cast<std::size_t>(state.range(0));
  RecordDailyPrioritiesStore store(nullptr);
  fillArchive(store, static_cast<int>(count));
  TodayController controller(services());
  controller.show(
      store, 25, std::nullopt, [] {}, [](const UUID&, bool) {});
  settle();
  auto& view = dynamic_cast<TodayView&>(*controller.host().content());
  for (auto _ : state) {
    view.earlierCards().front()->button(QStringLiteral("Bring to today"))->click();
    settle();
    state.PauseTiming();
    if (view.todayCards().size() != 1 || view.earlierCards().size() != count - 1) {
      state.SkipWithError("the priority did not move to today");
      break;
    }
    const UUID brought = view.todayCards().front()->priority().id;
    store.apply([&](DailyPriorities& plan) { plan.removeFromToday(brought, monday, berlin()); });
    settle();
    state.ResumeTiming();
  }
  controller.host().window()->close();
  settle();
}

std::vector<FocusHistoryEntry> history(int count) {
  std::vector<FocusHistoryEntry> entries;
  for (int i = 0; i < count; ++i) {
    entries.push_back(
        {UUID::random(),
         "Draft the chapter on the harbour's trade routes and its ledgers " + std::to_string(i),
         1500, monday - 3600.0 * i, std::nullopt, std::nullopt});
  }
  return entries;
}

void BM_HistoryShown(benchmark::State& state) {
  offscreenApplication();
  const auto count = static_cast<std::size_t>(state.range(0));
  RecordFocusHistoryStore store(nullptr);
  store.setEntries(history(static_cast<int>(count)));
  for (auto _ : state) {
    FocusHistoryController controller(services());
    controller.show(store);
    auto& view = dynamic_cast<FocusHistoryView&>(*controller.host().content());
    settle([&] { return view.rows().size() == count; });
    const bool closed = closeUntimed(
        state, controller.host(),
        [&] { return view.rows().size() == count && view.rows().back()->height() > 0; },
        "the rows were not all laid out");
    if (!closed) break;
  }
}

// Marks the fifth entry from the bottom, as a user scrolled down to it would.
void BM_HistoryMarkNearTheEnd(benchmark::State& state) {
  offscreenApplication();
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::vector<FocusHistoryEntry> entries = history(static_cast<int>(count));
  RecordFocusHistoryStore store(nullptr);
  store.setEntries(entries);
  FocusHistoryController controller(services());
  controller.show(store);
  auto& view = dynamic_cast<FocusHistoryView&>(*controller.host().content());
  settle([&] { return view.rows().size() == count; });
  for (auto _ : state) {
    view.rows()[count - 5]->markButton()->click();
    settle([&] { return view.rows().size() == count; });
    state.PauseTiming();
    if (view.rows().size() != count || view.rows()[count - 5]->markButton() != nullptr) {
      state.SkipWithError("the entry was not marked");
      break;
    }
    store.setEntries(entries);
    settle([&] { return view.rows().size() == count; });
    state.ResumeTiming();
  }
  controller.host().window()->close();
  settle();
}

BENCHMARK(BM_TodayShownWithCarried)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TodayBringToToday)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryShown)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryMarkNearTheEnd)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane
