#include "ui/tray/x11_tray_ink.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/tray/x11_tray_look.h"
#include "ui/tray/tray_ink.h"
#include "ui/tray/xembed_tray_icon.h"

namespace vorlane {
namespace {

// Whether `widget` is the window an XEmbed tray icon is shown in: ours, or Qt's own.
bool isTrayIconWindow(const QWidget& widget) {
  return widget.objectName() == QLatin1String(XEmbedTrayIcon::objectNameForTrays);
}

// The window an XEmbed tray icon is shown in; none while there is none.
xcb_window_t trayIconWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && isTrayIconWindow(*widget)) {
      return static_cast<xcb_window_t>(widget->winId());
    }
  }
  return XCB_WINDOW_NONE;
}

// Where our other windows are shown, in Qt's pixels.
std::vector<QRect> ownWindowsShown() {
  std::vector<QRect> shown;
  for (const QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && !isTrayIconWindow(*widget)) shown.push_back(widget->geometry());
  }
  return shown;
}

}  // namespace

std::function<std::optional<QColor>(const QRect&)> x11TrayInkSource() {
  xcb_connection_t* connection = SystemEnvironment::qtConnection();
  if (connection == nullptr) return nullptr;
  auto look = std::make_shared<X11TrayLook>(connection, displayScreenNumber());
  return [look](const QRect& area) -> std::optional<QColor> {
    // Qt's own answer may be stale once the tray has reparented the icon: the server's
    // place of the icon's window, when there is one.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
    std::optional<QRect> pixels = look->placeOf(trayIconWindow());
    if (!pixels && !area.isEmpty()) pixels = QRect(area.topLeft() * ratio, area.size() * ratio);
    const std::optional<QColor> foreground = look->foreground();
    const QRect icon = pixels ? QRect(pixels->topLeft() / ratio, pixels->size() / ratio) : QRect();
    // Only the panel's pixels need the screen as the panel shows it.
    if (!foreground && panelHidden(icon, ownWindowsShown())) return std::nullopt;
    return trayInk(foreground, pixels ? look->background(*pixels) : std::nullopt,
                   QGuiApplication::palette().color(QPalette::WindowText));
  };
}

}  // namespace vorlane
