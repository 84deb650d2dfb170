// A program that shows the status item on the display and bus it is given, then reports on
// descriptor 3 whether a tray took it, where, the ink its icon is drawn in and how many
// pixels of that ink the screen shows there, and stays until it is ended. With
// VORLANE_SCREENSHOT_DIR set it saves the tray around the icon as tray-<name>.png.
//   tray_probe [--wait-for-tray [name]]

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>

#include "ui/tray/status_item_controller.h"
#include "ui/tray/x11_tray_ink.h"

namespace {

// Pixels of the screen's `area` within a small distance of `ink`.
int inkedPixels(const QImage& image, const QColor& ink) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (std::abs(pixel.red() - ink.red()) + std::abs(pixel.green() - ink.green()) +
              std::abs(pixel.blue() - ink.blue()) <
          24) {
        ++count;
      }
    }
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  const bool waitForTray = argc > 1 && std::strcmp(argv[1], "--wait-for-tray") == 0;
  const std::string name = argc > 2 ? argv[2] : "tray";
  QApplication app(argc, argv);
  QElapsedTimer clock;
  clock.start();
  // A tray started just before us may not have claimed its place yet.
  while (waitForTray && !QSystemTrayIcon::isSystemTrayAvailable() && clock.elapsed() < 10'000) {
    app.processEvents(QEventLoop::AllEvents, 100);
    usleep(100'000);
  }
  vorlane::StatusItemController item({
      .actions = std::make_shared<vorlane::StatusItemActions>(
          std::weak_ptr<vorlane::VisitCoordinator>(), nullptr, vorlane::StatusItemHooks{}),
      .trayAvailable = nullptr,
      .icon = nullptr,
      .ink = vorlane::x11TrayInkSource(),
  });
  // An XEmbed tray gives the icon a place on screen once it has embedded it.
  clock.restart();
  while (item.isTrayShown() && item.trayIcon()->geometry().isEmpty() && clock.elapsed() < 3000) {
    app.processEvents(QEventLoop::AllEvents, 50);
    usleep(20'000);
  }
  const QRect g = item.trayIcon()->geometry();
  std::string line = "shown=" + std::to_string(item.isTrayShown() ? 1 : 0) +
                     " geometry=" + std::to_string(g.width()) + "x" + std::to_string(g.height());
  if (!g.isEmpty()) {
    // Placed: the ink is read for this place, and the tray draws the icon anew.
    item.refresh();
    clock.restart();
    QImage shown;
    int inked = 0;
    while (clock.elapsed() < 3000) {
      app.processEvents(QEventLoop::AllEvents, 50);
      shown = QGuiApplication::primaryScreen()->grabWindow(0, g.x(), g.y(), g.width(), g.height())
                  .toImage();
      inked = inkedPixels(shown, item.displayedInk());
      if (inked > 0) break;
      usleep(50'000);
    }
    line += " ink=" + item.displayedInk().name().toStdString() + " inked=" + std::to_string(inked);
    if (const char* folder = std::getenv("VORLANE_SCREENSHOT_DIR")) {
      const QRect around = g.adjusted(-g.width(), -4, g.width(), 4);
      QGuiApplication::primaryScreen()
          ->grabWindow(0, around.x(), std::max(0, around.y()), around.width(), around.height())
          .scaled(around.size() * 4)
          .save(QString::fromLocal8Bit(folder) + "/tray-" + QString::fromStdString(name) + ".png");
    }
  }
  line += "\n";
  if (write(3, line.data(), line.size()) < 0) return 2;
  return QApplication::exec();
}
