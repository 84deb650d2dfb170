#include "ui/tray/x11_tray_ink.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <memory>

#include "platform/desktop/system_environment.h"
#include "platform/desktop/x11_tray_look.h"
#include "ui/tray/tray_ink.h"

namespace vorlane {
namespace {

// The X screen the display names (":0.1" is screen 1); 0 when it names none.
int displayScreenNumber() {
  const QByteArray display = qgetenv("DISPLAY");
  const qsizetype dot = display.lastIndexOf('.');
  if (dot < 0 || dot < display.lastIndexOf(':')) return 0;
  bool ok = false;
  const int screen = display.mid(dot + 1).toInt(&ok);
  return ok && screen >= 0 ? screen : 0;
}

}  // namespace

std::function<QColor(const QRect&)> x11TrayInkSource() {
  xcb_connection_t* connection = SystemEnvironment::qtConnection();
  if (connection == nullptr) return nullptr;
  auto look = std::make_shared<X11TrayLook>(connection, displayScreenNumber());
  return [look](const QRect& area) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
    const QRect pixels(area.topLeft() * ratio, area.size() * ratio);
    return trayInk(look->foreground(), look->background(pixels),
                   QGuiApplication::palette().color(QPalette::WindowText));
  };
}

}  // namespace vorlane
