// One idle fidget while peeking, as the window shows it: the scene advances by a 60-Hz frame
// and the view repaints what changed, on the offscreen platform. A fidget's frames are what
// the program spends between visits.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPaintEvent>
#include <algorithm>
#include <memory>

#include "bench/offscreen_application.h"
#include "ui/mascot/character/character_factory.h"
#include "ui/mascot/scene/mascot_scene.h"
#include "ui/mascot/scene/mascot_view.h"
#include "ui/scene/part_motion.h"
#include "ui/scene/settle_rate.h"

namespace vorlane {
namespace {

// Adds up the area of every repaint of the view.
class PaintedArea final : public QObject {
 public:
  double pixels = 0;
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) {
        pixels += double(r.width()) * r.height();
      }
      ++paints;
    }
    return false;
  }
};

// The peeking monkey in a translucent column of the program's size, viewed as the program
// views it. The view goes with the window, before the scene.
struct PeekingColumn {
  PeekingColumn() {
    const QSize size(340, 800);
    scene = std::make_unique<MascotScene>(QSizeF(size), makeMascotCharacter());
    scene->setCharacterTopInset(30);
    scene->enterPeek(false);
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.resize(size);
    view = new MascotView(scene.get(), &window);
    view->setGeometry(window.rect());
  }
  std::unique_ptr<MascotScene> scene;
  QWidget window;
  MascotView* view = nullptr;
};

void BM_IdleFidgetFrame(benchmark::State& state) {
  offscreenApplication();
  const IdleFidget fidget(static_cast<IdleFidget::Case>(state.range(0)));
  PeekingColumn column;
  MascotScene* scene = column.scene.get();
  PaintedArea painted;
  column.view->viewport()->installEventFilter(&painted);
  column.window.show();
  QApplication::processEvents();
  scene->setCalm(false);
  // As the presenter plays one: lively for the fidget, then calm again.
  constexpr double frame = 1.0 / 60.0;
  double left = 0;
  int frames = 0;
  for (auto _ : state) {
    if (left <= 0) {
      scene->setCalm(true);
      for (int i = 0; i < 12; ++i) scene->step(frame);
      scene->setCalm(false);
      left = std::max(1.8, scene->performIdleFidget(fidget).value_or(0) + 0.3);
    }
    scene->step(frame);
    left -= frame;
    ++frames;
    // The scene's changes reach the view, which asks for a repaint of their area.
    QApplication::sendPostedEvents();
    QApplication::sendPostedEvents();
  }
  state.counters["px/frame"] = painted.pixels / std::max(1, frames);
  state.counters["paints/frame"] = double(painted.paints) / std::max(1, frames);
}
BENCHMARK(BM_IdleFidgetFrame)
    ->ArgName("fidget")
    ->DenseRange(IdleFidget::lookAround, IdleFidget::swing)
    ->Unit(benchmark::kMicrosecond);

// A whole fidget per iteration, as the program plays it: lively for the fidget's window, then
// calm until the scene stops, at a steady 30 frames a second (0) or at 15 while every part
// barely drifts (1). The frame count is what the X server and the event loop pay for.
void BM_IdleFidgetWhole(benchmark::State& state) {
  offscreenApplication();
  const IdleFidget fidget(static_cast<IdleFidget::Case>(state.range(0)));
  const bool settle = state.range(1) != 0;
  PeekingColumn column;
  MascotScene* scene = column.scene.get();
  column.window.show();
  QApplication::processEvents();
  const auto frameOf = [&](double dt) {
    const bool ran = scene->step(dt);
    QApplication::sendPostedEvents();
    QApplication::sendPostedEvents();
    return ran;
  };
  scene->setCalm(true);
  while (frameOf(1.0 / 30)) {
  }
  int frames = 0;
  int fidgets = 0;
  for (auto _ : state) {
    SettleRate rate;
    PartMotion motion;
    scene->setCalm(false);
    const double span = std::max(1.8, scene->performIdleFidget(fidget).value_or(0) + 0.3);
    double dt = 1.0 / 30;
    bool ran = true;
    for (double t = 0; ran; t += dt) {
      if (t >= span) scene->setCalm(true);
      ran = frameOf(dt);
      ++frames;
      if (settle) dt = rate.frame(dt, motion.sample(*scene)) / 1000.0;
    }
    ++fidgets;
  }
  state.counters["frames/fidget"] = double(frames) / std::max(1, fidgets);
}
BENCHMARK(BM_IdleFidgetWhole)
    ->ArgNames({"fidget", "settle"})
    ->ArgsProduct({benchmark::CreateDenseRange(IdleFidget::lookAround, IdleFidget::swing, 1),
                   {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane
