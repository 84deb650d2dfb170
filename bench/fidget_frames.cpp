// Plays every idle fidget in the mascot's column on the X display it is given and prints
// what each cost the process: CPU and context switches, with the frames shown by the window
// itself ("own") or by Qt's repaint cycle ("qt"), for comparing the two on one machine.
//   vorlane_fidget_frames own|qt [rounds]
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>

#include "ui/mascot/character/character_factory.h"
#include "ui/mascot/scene/mascot_scene.h"
#include "ui/mascot/scene/mascot_view.h"
#include "ui/mascot/scene/scene_presentation.h"
#include "ui/mascot_window/mascot_window.h"
#include "ui/mascot_window/qt_screen_provider.h"
#include "ui/mascot_window/target_screen.h"
#include "ui/scene/frame_driver.h"

namespace {

double cpuMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

long contextSwitches() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_nvcsw + usage.ru_nivcsw;
}

void runFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vorlane;
  QApplication app(argc, argv);
  const bool own = argc > 1 && std::strcmp(argv[1], "qt") != 0;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  QtScreenProvider screens(nullptr, nullptr);
  MascotWindow::PresenterFactory none = [](MascotWindow&) {
    return std::unique_ptr<FramePresenter>();
  };
  MascotWindow window(targetScreen(screens, std::nullopt), MascotPlacement(1, 0),
                      own ? MascotWindow::PresenterFactory{} : none);
  auto* scene = new MascotScene(QSizeF(window.size()), makeMascotCharacter());
  scene->setCharacterTopInset(30);
  scene->enterPeek(false);
  auto* view = new MascotView(scene);
  window.setContentWidget(view);
  presentSceneThroughWindow(window, *view, *scene);
  FrameDriver driver(scene);
  driver.setPaused(true);
  window.show();
  runFor(1500);
  std::printf("%s frames, %d rounds\n", window.presentsFrames() ? "own" : "qt", rounds);
  double totalCpu = 0;
  long totalSwitches = 0;
  int played = 0;
  for (int round = 0; round < rounds; ++round) {
    for (IdleFidget fidget : IdleFidget::allCases()) {
      scene->setCalm(false);
      const double cpu = cpuMilliseconds();
      const long switches = contextSwitches();
      driver.setPaused(false);
      const std::optional<double> duration = scene->performIdleFidget(fidget);
      if (!duration) continue;
      driver.settleIdleMotion();
      // The column animates as long as the controller's window for a fidget lasts.
      runFor(static_cast<int>(std::max(1.8, *duration + 0.3) * 1000));
      driver.setPaused(true);
      const double spent = cpuMilliseconds() - cpu;
      const long woken = contextSwitches() - switches;
      std::printf("  fidget %d: %.1f ms CPU, %ld context switches\n", int(fidget.value()), spent,
                  woken);
      totalCpu += spent;
      totalSwitches += woken;
      ++played;
      runFor(300);
    }
  }
  if (played > 0) {
    std::printf("mean per fidget: %.2f ms CPU, %.1f context switches\n", totalCpu / played,
                double(totalSwitches) / played);
  }
  window.hide();
  delete scene;
  return 0;
}
