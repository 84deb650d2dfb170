// The shown area of one hourly-visit frame of the column, as a window without a compositor
// takes it from each painted frame: the whole column, or only the rectangle it repainted.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "bench/offscreen_application.h"
#include "tests/support/headline_visit.h"
#include "ui/mascot/character/character_factory.h"
#include "ui/mascot/scene/mascot_scene.h"
#include "ui/mascot_window/content_mask.h"

namespace vorlane {
namespace {

// Frames of a visit, rendered once, with the rectangle each one changed.
struct VisitFrames {
  std::vector<QImage> images;
  std::vector<QRect> changed;
};

const VisitFrames& visitFrames() {
  static const VisitFrames frames = [] {
    offscreenApplication();
    const QSizeF size(340, 800);
    MascotScene scene(size, makeMascotCharacter());
    scene.setCharacterTopInset(30);
    scene.enterPeek(false);
    const Visit visit = headlineVisit(UUID(), Visit::Kind::hourly(), Date(), "It's 3 PM");
    scene.perform(visit, true, [] {});
    VisitFrames out;
    for (int i = 0; i < 120; ++i) {
      scene.step(1.0 / 60.0);
      QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
      scene.renderInto(image);
      QRect changed;
      if (!out.images.empty()) {
        const QImage& last = out.images.back();
        for (int y = 0; y < image.height(); ++y) {
          if (std::memcmp(image.constScanLine(y), last.constScanLine(y),
                          std::size_t(image.bytesPerLine())) != 0) {
            changed |= QRect(0, y, image.width(), 1);
          }
        }
      }
      out.images.push_back(image);
      out.changed.push_back(changed.isEmpty() ? image.rect() : changed);
    }
    return out;
  }();
  return frames;
}

void BM_ContentMaskWholeColumn(benchmark::State& state) {
  const VisitFrames& frames = visitFrames();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(opaqueRegion(frames.images[i++ % frames.images.size()]));
  }
}
BENCHMARK(BM_ContentMaskWholeColumn)->Unit(benchmark::kMicrosecond);

// As a painted frame does it: the last area, the repainted rows scanned again, compared.
void BM_ContentMaskRepaintedRows(benchmark::State& state) {
  const VisitFrames& frames = visitFrames();
  std::optional<QRegion> mask;
  std::size_t i = 0;
  for (auto _ : state) {
    const std::size_t n = i++ % frames.images.size();
    QRegion next = repaintedOpaqueRegion(mask, frames.images[n], frames.changed[n]);
    benchmark::DoNotOptimize(next == mask);
    mask = std::move(next);
  }
  state.counters["rects"] = double(mask ? mask->rectCount() : 0);
}
BENCHMARK(BM_ContentMaskRepaintedRows)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vorlane
