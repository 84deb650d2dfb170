// A program that shows the status item on the display and bus it is given, then reports on
// descriptor 3 whether a tray took it, where, and the ink its icon is drawn in, and stays
// until it is ended.
//   tray_probe [--wait-for-tray]

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPalette>
#include <QSystemTrayIcon>
#include <cstdio>
#include <cstring>
#include <string>

#include "ui/tray/status_item_controller.h"
#include "ui/tray/x11_tray_ink.h"

int main(int argc, char** argv) {
  const bool waitForTray = argc > 1 && std::strcmp(argv[1], "--wait-for-tray") == 0;
  QApplication app(argc, argv);
  QElapsedTimer clock;
  clock.start();
  // A tray started just before us may not have claimed its place yet.
  while (waitForTray && !QSystemTrayIcon::isSystemTrayAvailable() && clock.elapsed() < 60'000) {
    app.processEvents(QEventLoop::AllEvents, 100);
    usleep(100'000);
  }
  vorlane::StatusItemController item({
      .actions = std::make_shared<vorlane::StatusItemActions>(nullptr, nullptr,
                                                              vorlane::StatusItemHooks{}),
      .trayAvailable = nullptr,
      .icon = nullptr,
      .ink = vorlane::x11TrayInkSource(),
  });
  // An XEmbed tray gives the icon a place on screen once it has embedded it (a host over
  // D-Bus never does).
  clock.restart();
  while (waitForTray && item.isTrayShown() && item.trayIcon()->geometry().isEmpty() &&
         clock.elapsed() < 60'000) {
    app.processEvents(QEventLoop::AllEvents, 50);
    usleep(20'000);
  }
  const QRect g = item.trayIcon()->geometry();
  std::string line = "shown=" + std::to_string(item.isTrayShown() ? 1 : 0) +
                     " geometry=" + std::to_string(g.width()) + "x" + std::to_string(g.height());
  if (!g.isEmpty()) {
    // Placed: the ink is read for this place, and the tray draws the icon anew. A tray still
    // painting its panel shows no colours yet (the ink stays the palette's) or the black
    // screen behind it: read again, as the item does on its own later, until the ink has
    // stayed the same for a while.
    const QColor palette = QGuiApplication::palette().color(QPalette::WindowText);
    QColor settled;
    QElapsedTimer sinceChange;
    clock.restart();
    do {
      item.recheckInk();
      if (item.displayedInk() != settled) {
        settled = item.displayedInk();
        sinceChange.start();
      } else if (settled != palette && sinceChange.elapsed() >= 1'500) {
        break;
      }
      app.processEvents(QEventLoop::AllEvents, 50);
      usleep(100'000);
    } while (clock.elapsed() < 30'000);
    line += " at=" + std::to_string(g.x()) + "," + std::to_string(g.y()) +
            " ink=" + item.displayedInk().name().toStdString();
  }
  line += "\n";
  if (write(3, line.data(), line.size()) < 0) return 2;
  return QApplication::exec();
}
