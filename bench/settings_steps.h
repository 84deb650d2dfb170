#pragma once

// One step of a control on a preferences page, as the main thread sees it: the move, the
// record changed and announced, the coordinator and the mascot applying it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <functional>

#include "bench/live_settings.h"
#include "bench/offscreen_application.h"
#include "tests/support/preferences_services.h"
#include "ui/preferences/window/preferences_window.h"

namespace vorlane {

// Steps the control that `control` finds on the page of `section`, shown over settings kept
// as `records`; `onDisk` waits for each step's bytes to reach the file. `control` returns the
// move to the nth step, or null (and the benchmark is skipped) when the page lacks it.
inline void settingsSteps(
    benchmark::State& state, LiveSettings::Records records, bool onDisk, PreferencesSection section,
    const std::function<std::function<void(int)>(PreferencesWindow&)>& control) {
  offscreenApplication();
  LiveSettings live(records);
  PreferencesNavigation navigation(section);
  PreferencesWindow window(live.store(), navigation, preferencesServices());
  window.show();
  QCoreApplication::processEvents();
  const std::function<void(int)> moveTo = control(window);
  if (!moveTo) {
    state.SkipWithError("the page lacks the control");
    return;
  }
  int step = 0;
  const int writesBefore = live.settingsWrites();
  for (auto _ : state) {
    moveTo(++step);
    if (onDisk) live.store().flush();
  }
  // Below 1 when steps that came during a write were saved together.
  state.counters["writes_per_step"] = static_cast<double>(live.settingsWrites() - writesBefore) /
                                      static_cast<double>(state.iterations());
}

// Registers a step benchmark once for each way of keeping the settings: in memory (the
// window's and the appliers' share); the file written before the step returns (two fsyncs);
// the file written by the store's own thread, as the application does.
inline void overEachRecordKeeping(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(static_cast<int>(LiveSettings::Records::inMemory))
      ->Arg(static_cast<int>(LiveSettings::Records::fileImmediately))
      ->Arg(static_cast<int>(LiveSettings::Records::fileInBackground))
      ->Unit(benchmark::kMillisecond)
      ->Repetitions(3)
      ->ReportAggregatesOnly(true);
}

}  // namespace vorlane
