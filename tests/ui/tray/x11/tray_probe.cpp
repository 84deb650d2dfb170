// A program that shows the status item on the display and bus it is given, then reports on
// descriptor 3 whether a tray took it, where, and the ink its icon is drawn in, and stays
// until it is ended. It learns of trays as the program does, and says "watching" on
// descriptor 3 once it does. With --cover, once placed it opens the item's menu over the
// icon, looks for the ink again once the screen shows the menu there rather than the panel,
// and reports that ink on a second line ("covered ink=...").
//   tray_probe [--wait-for-tray [--cover]]

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QPalette>
#include <QSystemTrayIcon>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/tray/tray_host_watch.h"
#include "platform/desktop/tray/x11_tray_look.h"
#include "ui/tray/status_item_controller.h"
#include "ui/tray/x11_tray_ink.h"

int main(int argc, char** argv) {
  const bool waitForTray = argc > 1 && std::strcmp(argv[1], "--wait-for-tray") == 0;
  const bool cover = argc > 2 && std::strcmp(argv[2], "--cover") == 0;
  QApplication app(argc, argv);
  // The program's own reading of the desktop's trays, followed as they come and go.
  const std::shared_ptr<vorlane::TrayHostWatch> trays = vorlane::TrayHostWatch::forThisDesktop();
  vorlane::StatusItemController item({
      .actions = std::make_shared<vorlane::StatusItemActions>(nullptr, nullptr,
                                                              vorlane::StatusItemHooks{}),
      .trayAvailable = vorlane::TrayHostWatch::reader(trays),
      .followTray =
          [&trays](std::function<void()> changed) {
            return trays->kindChanges().subscribe(std::move(changed));
          },
      .trays = vorlane::TrayHostWatch::kindsReader(trays),
      .icon = nullptr,
      .ink = vorlane::x11TrayInkSource(),
  });
  const std::string watching = "watching\n";
  if (write(3, watching.data(), watching.size()) < 0) return 2;
  // A tray started just before us, or after us, shows the item once it has claimed its place;
  // an XEmbed tray then gives the icon a place on screen once it has embedded it (a host over
  // D-Bus never does).
  QElapsedTimer clock;
  clock.start();
  while (waitForTray && (!item.isTrayShown() || item.trayGeometry().isEmpty()) &&
         clock.elapsed() < 60'000) {
    app.processEvents(QEventLoop::AllEvents, 50);
    usleep(20'000);
  }
  const QRect g = item.trayGeometry();
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
  if (cover && !g.isEmpty()) {
    // The menu opens over the whole icon, as from a pointer at its corner.
    item.menu()->popup(g.topLeft());
    vorlane::X11TrayLook look(vorlane::SystemEnvironment::qtConnection(),
                              vorlane::displayScreenNumber());
    const std::optional<QColor> panel = look.background(g);
    clock.restart();
    while (look.background(g) == panel && clock.elapsed() < 30'000) {
      app.processEvents(QEventLoop::AllEvents, 50);
      usleep(20'000);
    }
    item.recheckInk();
    const std::string covered = "covered ink=" + item.displayedInk().name().toStdString() + "\n";
    if (write(3, covered.data(), covered.size()) < 0) return 2;
  }
  return QApplication::exec();
}
