// One hourly visit's frames: advance by a 60-Hz frame, then render the column into an image.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "bench/offscreen_application.h"
#include "tests/support/headline_visit.h"
#include "ui/mascot/character/character_factory.h"
#include "ui/mascot/scene/mascot_scene.h"

namespace vorlane {
namespace {

void BM_HourlyVisitFrame(benchmark::State& state) {
  offscreenApplication();
  const QSizeF size(340, 900);
  MascotScene scene(size, makeMascotCharacter());
  scene.setCharacterTopInset(30);
  scene.enterPeek(false);
  QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
  const Visit visit = headlineVisit(UUID(), Visit::Kind::hourly(), Date(), "It's 3 PM");
  bool running = false;
  for (auto _ : state) {
    if (!running) {
      running = true;
      scene.perform(visit, true, [&running] { running = false; });
    }
    scene.step(1.0 / 60.0);
    scene.renderInto(image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_HourlyVisitFrame)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace vorlane
