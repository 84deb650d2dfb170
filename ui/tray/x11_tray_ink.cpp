#include "ui/tray/x11_tray_ink.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QPalette>
#include <QScreen>
#include <cstring>
#include <memory>

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/tray/x11_tray_look.h"
#include "ui/tray/tray_ink.h"

namespace vorlane {
namespace {

// The window Qt shows an XEmbed tray icon in; none while there is none.
xcb_window_t trayIconWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() &&
        std::strcmp(widget->metaObject()->className(), "QSystemTrayIconSys") == 0) {
      return static_cast<xcb_window_t>(widget->winId());
    }
  }
  return XCB_WINDOW_NONE;
}

}  // namespace

std::function<QColor(const QRect&)> x11TrayInkSource() {
  xcb_connection_t* connection = SystemEnvironment::qtConnection();
  if (connection == nullptr) return nullptr;
  auto look = std::make_shared<X11TrayLook>(connection, displayScreenNumber());
  return [look](const QRect& area) {
    // Qt's own answer may be stale once the tray has reparented the icon: the server's
    // place of the icon's window, when there is one.
    std::optional<QRect> pixels = look->placeOf(trayIconWindow());
    if (!pixels && !area.isEmpty()) {
      const QScreen* screen = QGuiApplication::primaryScreen();
      const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
      pixels = QRect(area.topLeft() * ratio, area.size() * ratio);
    }
    return trayInk(look->foreground(), pixels ? look->background(*pixels) : std::nullopt,
                   QGuiApplication::palette().color(QPalette::WindowText));
  };
}

}  // namespace vorlane
