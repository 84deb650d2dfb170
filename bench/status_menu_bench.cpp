// The status item over a running coordinator that holds 100 to 80,000 reminders, offscreen,
// wired as the application wires it (the coordinator's status source, the item's actions):
// the menu opened as a tray asks for it when the user clicks, one reminder's row opened, the
// last page of reminders opened, and the icon's refresh that runs at every state change and
// every second of a session. The resident memory the process has gained since the first
// opening is reported as `kept_mb`. Target: each under 50 ms at every count, and the memory
// kept bounded.

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <fstream>
#include <memory>
#include <string>

#include "app/coordinator_status_source.h"
#include "bench/brief_run.h"
#include "bench/offscreen_application.h"
#include "core/reminders/in_memory_reminder_store.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "tests/support/coordinator_over_fakes.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_environment.h"
#include "tests/support/fake_feature_windows.h"
#include "tests/support/fake_repeating_timer.h"
#include "tests/support/fake_services.h"
#include "tests/support/fake_visit_presenter.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/seeded_random_generator.h"
#include "tests/support/trayless_status_item.h"
#include "ui/tray/status_item_controller.h"

namespace vorlane {
namespace {

const Calendar berlin("Europe/Berlin", "en_US");
const Date morning = *berlin.date(2026, 3, 10, 9, 0, 0);

// A third each of one-off times, countdowns and daily times, in the order they were added.
std::vector<Reminder> reminders(std::int64_t count) {
  std::vector<Reminder> list;
  list.reserve(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) {
    const std::string phrase = "Water the plants on the balcony, box " + std::to_string(i);
    VisitTrigger trigger =
        i % 3 == 0   ? VisitTrigger::oneOff(morning + 600.0 + static_cast<double>(i))
        : i % 3 == 1 ? VisitTrigger::countdown(3600.0 + static_cast<double>(i))
                     : VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), i % 24, i % 60));
    list.emplace_back(UUID::random(), phrase, std::move(trigger), morning);
  }
  return list;
}

// The coordinator over fakes and in-memory stores, started, and the status item over it.
struct RunningItem {
  explicit RunningItem(std::int64_t count)
      : reminderStore(std::make_shared<InMemoryReminderStore>(reminders(count))) {
    coordinator = VisitCoordinator::create(
        coordinatorOverFakes(clock, berlin, preferences, reminderStore, records, timers.factory(),
                             windows.controllers()));
    coordinator->start();
    item = std::make_unique<StatusItemController>(traylessStatusItem(
        std::make_shared<StatusItemActions>(std::make_shared<CoordinatorStatusSource>(coordinator),
                                            preferences, StatusItemHooks{})));
  }

  void open() {
    emit item->menu()->aboutToShow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // What the event loop does between two user actions: the posted events, deletions
  // included.
  static void turnEventLoop() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  QMenu* reminderRows() const {
    for (QAction* action : item->menu()->actions()) {
      if (action->text().startsWith(QLatin1String("Reminders"))) return action->menu();
    }
    return nullptr;
  }
  // The rows of the first page that stand for reminders: the last row opens the next page
  // where there is one.
  QList<QAction*> firstPageRows() const {
    QMenu* rows = reminderRows();
    if (rows == nullptr) return {};
    QList<QAction*> shown = rows->actions();
    if (nextPage(*rows) != nullptr) shown.removeLast();
    return shown;
  }
  // The page that the last row of `page` opens; none on the last page.
  static QMenu* nextPage(const QMenu& page) {
    const QList<QAction*> rows = page.actions();
    if (rows.isEmpty() || !rows.back()->text().startsWith(QLatin1String("More reminders ("))) {
      return nullptr;
    }
    return rows.back()->menu();
  }

  InMemoryRecordStore records;
  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(morning);
  std::shared_ptr<InMemoryPreferencesStore> preferences =
      std::make_shared<InMemoryPreferencesStore>();
  std::shared_ptr<InMemoryReminderStore> reminderStore;
  FakeRepeatingTimerFactory timers;
  FakeFeatureWindows windows;
  std::shared_ptr<VisitCoordinator> coordinator;
  std::unique_ptr<StatusItemController> item;
};

// The process's resident memory in MB.
double residentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  double kilobytes = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> kilobytes;
      break;
    }
    status.ignore(1 << 10, '\n');
  }
  return kilobytes / 1024.0;
}

void BM_StatusMenuOpened(benchmark::State& state) {
  offscreenApplication();
  RunningItem running(state.range(0));
  running.open();
  const double before = residentMegabytes();
  for (auto _ : state) {
    running.open();
    state.PauseTiming();
    if (running.reminderRows() == nullptr) {
      state.SkipWithError("no reminder rows");
      break;
    }
    state.ResumeTiming();
  }
  state.counters["kept_mb"] = residentMegabytes() - before;
}

// Each reminder's row of the first page in turn (the row to the next page is no reminder's),
// the menu opened again once every row shown has been. Between two openings the event loop
// turns, as it does between two clicks, so what an opening posts (layouts, deletions) is
// handled instead of piling up.
void BM_StatusMenuReminderRowOpened(benchmark::State& state) {
  offscreenApplication();
  RunningItem running(state.range(0));
  running.open();
  qsizetype next = 0;
  for (auto _ : state) {
    state.PauseTiming();
    running.turnEventLoop();
    state.ResumeTiming();
    QList<QAction*> rows = running.firstPageRows();
    if (next >= rows.size()) {
      state.PauseTiming();
      running.open();
      next = 0;
      state.ResumeTiming();
      rows = running.firstPageRows();
    }
    QMenu* row = next < rows.size() ? rows[next]->menu() : nullptr;
    if (row == nullptr) {
      state.SkipWithError("no reminder row");
      break;
    }
    ++next;
    emit row->aboutToShow();
    if (row->actions().size() != 2) {
      state.SkipWithError("the row has no Edit and Delete");
      break;
    }
  }
}

// The menu opened, then each page in turn as the user goes down them, up to the last: the
// one opening measured again and again. Every page is read from the store as it opens, the
// last one as far in as the first: the user reaches it after thousands of pages.
void BM_StatusMenuLastPageOpened(benchmark::State& state) {
  offscreenApplication();
  RunningItem running(state.range(0));
  running.open();
  QMenu* last = running.reminderRows();
  std::int64_t pages = 1;
  for (QMenu* next = last ? RunningItem::nextPage(*last) : nullptr; next;
       next = RunningItem::nextPage(*last)) {
    emit next->aboutToShow();
    last = next;
    ++pages;
  }
  if (last == nullptr || last == running.reminderRows()) {
    state.SkipWithError("no page past the first");
    return;
  }
  const UUID lastStored = running.reminderStore->reminders().back().id;
  // Whether the page's last row deletes the last reminder stored.
  const auto endsWithTheLast = [&] {
    QMenu* row = last->isEmpty() ? nullptr : last->actions().back()->menu();
    if (row == nullptr) return false;
    emit row->aboutToShow();
    return row->actions().size() == 2 && row->actions()[1]->data().value<UUID>() == lastStored;
  };
  for (auto _ : state) {
    state.PauseTiming();
    clearStatusMenu(*last);
    running.turnEventLoop();
    state.ResumeTiming();
    emit last->aboutToShow();
    state.PauseTiming();
    if (!endsWithTheLast()) {
      state.SkipWithError("the last page does not end with the last one");
      break;
    }
    state.ResumeTiming();
  }
  state.counters["pages"] = static_cast<double>(pages);
}

void BM_StatusIconRefreshed(benchmark::State& state) {
  offscreenApplication();
  RunningItem running(state.range(0));
  for (auto _ : state) running.item->refresh();
}

// From a short list to one far longer than anyone keeps.
void overReminderCounts(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(100)->Arg(1000)->Arg(10'000)->Arg(80'000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_StatusMenuOpened)->Apply(overReminderCounts);
BENCHMARK(BM_StatusMenuReminderRowOpened)->Arg(100)->Arg(80'000)->Unit(benchmark::kMillisecond);
// Reaching the last page opens every page before it once: a fixed number of openings keeps
// that to one walk.
BENCHMARK(BM_StatusMenuLastPageOpened)
    ->Arg(100)
    ->Arg(80'000)
    ->Iterations(fixedIterations(30))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatusIconRefreshed)->Apply(overReminderCounts);

}  // namespace
}  // namespace vorlane
