// The preferences window: its first showing, a panel switch, and one step of the speaking-rate
// slider from the user's move to the change applied, and to the settings file written.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSlider>

#include "bench/offscreen_application.h"
#include "bench/settings_steps.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "tests/support/preferences_services.h"
#include "ui/preferences/panels/voice_panel.h"
#include "ui/preferences/window/preferences_window.h"

namespace vorlane {
namespace {

void BM_PreferencesFirstShowing(benchmark::State& state) {
  offscreenApplication();
  InMemoryRecordStore records;
  RecordPreferencesStore store(records);
  const auto section = static_cast<PreferencesSection>(state.range(0));
  for (auto _ : state) {
    PreferencesNavigation navigation(section);
    auto window = std::make_unique<PreferencesWindow>(store, navigation, preferencesServices());
    window->show();
    QCoreApplication::processEvents();
    window->repaint();
    state.PauseTiming();
    window.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
// Opening on Desktop (the first opening after launch) and on the busiest page.
BENCHMARK(BM_PreferencesFirstShowing)
    ->Arg(static_cast<int>(PreferencesSection::desktop))
    ->Arg(static_cast<int>(PreferencesSection::quiet))
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The very first showing in a process, with fonts, styles and symbols still to load: run it
// alone (--benchmark_filter=ColdShowing) for the figure a user meets.
void BM_PreferencesColdShowing(benchmark::State& state) {
  offscreenApplication();
  InMemoryRecordStore records;
  RecordPreferencesStore store(records);
  for (auto _ : state) {
    PreferencesNavigation navigation;
    PreferencesWindow window(store, navigation, preferencesServices());
    window.show();
    QCoreApplication::processEvents();
    window.repaint();
  }
}
BENCHMARK(BM_PreferencesColdShowing)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PreferencesPanelSwitch(benchmark::State& state) {
  offscreenApplication();
  InMemoryRecordStore records;
  RecordPreferencesStore store(records);
  PreferencesNavigation navigation;
  PreferencesWindow window(store, navigation, preferencesServices());
  window.show();
  QCoreApplication::processEvents();
  bool quiet = false;
  for (auto _ : state) {
    quiet = !quiet;
    navigation.setSelection(quiet ? PreferencesSection::quiet : PreferencesSection::focus);
    QCoreApplication::processEvents();
    window.repaint();
  }
}
BENCHMARK(BM_PreferencesPanelSwitch)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Speaking-rate steps on the Voice panel over settings kept as `records`; `onDisk` waits
// for each step's bytes to reach the file.
void rateSteps(benchmark::State& state, LiveSettings::Records records, bool onDisk) {
  settingsSteps(state, records, onDisk, PreferencesSection::voice,
                [](PreferencesWindow& window) -> std::function<void(int)> {
                  auto* slider = window.panel()->findChild<QSlider*>(QStringLiteral("speechRate"));
                  if (slider == nullptr) return nullptr;
                  return [slider](int step) { slider->setValue(step % VoicePanel::rateSteps); };
                });
}

// One step of the speaking-rate slider as the main thread sees it: the move, the record
// changed and announced, the coordinator and the mascot applying it. Arg: how the settings
// are kept (LiveSettings::Records).
void BM_SpeakingRateStep(benchmark::State& state) {
  rateSteps(state, static_cast<LiveSettings::Records>(state.range(0)), false);
}
BENCHMARK(BM_SpeakingRateStep)->Apply(overEachRecordKeeping);

// The same step saved in the background, until its bytes are on disk: the delay a crash
// right after a move could lose.
void BM_SpeakingRateStepOnDisk(benchmark::State& state) {
  rateSteps(state, LiveSettings::Records::fileInBackground, true);
}
BENCHMARK(BM_SpeakingRateStepOnDisk)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace vorlane
