// The appearance page: one render of its preview, and one step of an opacity slider from the
// user's move to the settings record written.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSlider>
#include <QToolButton>
#include <filesystem>

#include "bench/offscreen_application.h"
#include "platform/persistence/file_record_store.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "ui/preferences/appearance_panel.h"
#include "ui/preferences/mascot_style_preview.h"
#include "ui/preferences/preferences_window.h"

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

void BM_AppearanceOpacityStep(benchmark::State& state) {
  offscreenApplication();
  const auto folder = std::filesystem::temp_directory_path() / "vorlane-bench-appearance";
  std::filesystem::create_directories(folder);
  {
    // Arg 1: the settings file on disk (two fsyncs a write); 0: in memory, the window's share.
    FileRecordStore onDisk(folder);
    InMemoryRecordStore inMemory;
    RecordStore& records = state.range(0) ? static_cast<RecordStore&>(onDisk) : inMemory;
    RecordPreferencesStore store(records);
    PreferencesNavigation navigation(PreferencesSection::appearance);
    PreferencesWindow window(store, navigation,
                             {.voices = nullptr,
                              .onPreview = nullptr,
                              .onPreviewCelebration = nullptr,
                              .calendar = [] { return Calendar("UTC", "en_US"); },
                              .now = [] { return Date::fromUnix(1780000000); },
                              .muteHotKeyName = QString(),
                              .appNames = std::nullopt});
    window.show();
    QCoreApplication::processEvents();
    auto* panel = dynamic_cast<AppearancePanel*>(window.panel());
    if (panel == nullptr) {
      state.SkipWithError("no appearance page");
      return;
    }
    // With the preview open: each step also draws the light and the dark still.
    panel->previewToggle()->click();
    int step = 0;
    for (auto _ : state) {
      step = (step + 1) % (AppearancePanel::opacitySteps + 1);
      panel->monkeyOpacity()->setValue(step);
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_AppearanceOpacityStep)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace vorlane
