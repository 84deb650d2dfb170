// The appearance page: one render of its preview, and one step of an opacity slider from the
// user's move to the change applied, and to the settings file written.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSlider>
#include <QToolButton>

#include "bench/live_settings.h"
#include "bench/offscreen_application.h"
#include "ui/preferences/controls/mascot_style_preview.h"
#include "ui/preferences/panels/appearance_panel.h"
#include "ui/preferences/window/preferences_window.h"

namespace vorlane {
namespace {

void BM_AppearancePreviewRedraw(benchmark::State& state) {
  offscreenApplication();
  MascotStylePreview preview(nullptr);
  bool faded = false;
  for (auto _ : state) {
    faded = !faded;
    preview.showAppearance({.monkeyOpacity = faded ? 0.5 : 1}, false);
  }
}
BENCHMARK(BM_AppearancePreviewRedraw)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

PreferencesWindow::Services services() {
  return {.voices = nullptr,
          .onPreview = nullptr,
          .onPreviewCelebration = nullptr,
          .calendar = [] { return Calendar("UTC", "en_US"); },
          .now = [] { return Date::fromUnix(1780000000); },
          .muteHotKeyName = QString(),
          .appNames = std::nullopt};
}

// One step of the monkey's opacity with the preview open (each step also draws the light and
// the dark still), as the main thread sees it: the move, the record changed, the coordinator
// and the mascot applying it. With `flushed`, until the settings file holds it too.
void opacitySteps(benchmark::State& state, LiveSettings::Records records, bool flushed) {
  offscreenApplication();
  LiveSettings live(records);
  PreferencesNavigation navigation(PreferencesSection::appearance);
  PreferencesWindow window(live.store(), navigation, services());
  window.show();
  QCoreApplication::processEvents();
  auto* panel = dynamic_cast<AppearancePanel*>(window.panel());
  if (panel == nullptr) {
    state.SkipWithError("no appearance page");
    return;
  }
  panel->previewToggle()->click();
  int step = 0;
  const int writesBefore = live.settingsWrites();
  for (auto _ : state) {
    step = (step + 1) % (AppearancePanel::opacitySteps + 1);
    panel->monkeyOpacity()->setValue(step);
    if (flushed) live.store().flush();
  }
  // Below 1 when steps that came during a write were saved together.
  state.counters["writes_per_step"] = static_cast<double>(live.settingsWrites() - writesBefore) /
                                      static_cast<double>(state.iterations());
}

// Arg 0: records in memory (the window's and the appliers' share); 1: the settings file
// written before the step returns (two fsyncs); 2: written by the store's own thread, as
// the application does.
void BM_AppearanceOpacityStep(benchmark::State& state) {
  opacitySteps(state, static_cast<LiveSettings::Records>(state.range(0)), false);
}
BENCHMARK(BM_AppearanceOpacityStep)
    ->Arg(static_cast<int>(LiveSettings::Records::inMemory))
    ->Arg(static_cast<int>(LiveSettings::Records::fileImmediately))
    ->Arg(static_cast<int>(LiveSettings::Records::fileInBackground))
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Saved in the background, until the bytes are on disk.
void BM_AppearanceOpacityStepOnDisk(benchmark::State& state) {
  opacitySteps(state, LiveSettings::Records::fileInBackground, true);
}
BENCHMARK(BM_AppearanceOpacityStepOnDisk)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace vorlane
