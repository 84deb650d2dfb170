// The appearance page: one render of its preview, and one step of an opacity slider from the
// user's move to the change applied, and to the settings file written.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSlider>
#include <QToolButton>

#include "bench/offscreen_application.h"
#include "bench/settings_steps.h"
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

// One step of the monkey's opacity with the preview open: each step also draws the light and
// the dark still. With `flushed`, until the settings file holds it too.
void opacitySteps(benchmark::State& state, LiveSettings::Records records, bool flushed) {
  settingsSteps(state, records, flushed, PreferencesSection::appearance,
                [](PreferencesWindow& window) -> std::function<void(int)> {
                  auto* panel = dynamic_cast<AppearancePanel*>(window.panel());
                  if (panel == nullptr) return nullptr;
                  panel->previewToggle()->click();
                  return [panel](int step) {
                    panel->monkeyOpacity()->setValue(step % (AppearancePanel::opacitySteps + 1));
                  };
                });
}

// Arg: how the settings are kept (LiveSettings::Records).
void BM_AppearanceOpacityStep(benchmark::State& state) {
  opacitySteps(state, static_cast<LiveSettings::Records>(state.range(0)), false);
}
BENCHMARK(BM_AppearanceOpacityStep)->Apply(overEachRecordKeeping);

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
