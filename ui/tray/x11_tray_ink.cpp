#include "ui/tray/x11_tray_ink.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/tray/x11_tray_look.h"
#include "ui/mascot_window/x11_shape.h"
#include "ui/tray/icon_cover_watch.h"
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

// A region in device pixels in Qt's pixels, each piece grown to whole pixels.
QRegion logicalRegion(const QRegion& device, qreal ratio) {
  if (ratio == 1.0) return device;
  QRegion logical;
  for (const QRect& r : device) {
    logical +=
        QRectF(r.x() / ratio, r.y() / ratio, r.width() / ratio, r.height() / ratio).toAlignedRect();
  }
  return logical;
}

// Our other windows drawn over `icon` (Qt's pixels), and whether one of them is drawn
// there only in part. What shows of a window is what the X server shows: its bounding
// shape (the mascot's column without a compositor is shaped to the monkey), and with a
// compositor a translucent window's own pixels, read from the window. The panel itself is
// still read from the screen: reading it from the tray's own window would be untouched by
// what lies above only where a compositor keeps each window's pixels apart, and without
// one the server holds nothing but what the screen shows.
struct CoveringWindows {
  std::vector<QWidget*> windows;
  bool drawnInPart = false;
};

CoveringWindows windowsOver(const QRect& icon, xcb_connection_t* connection) {
  CoveringWindows covering;
  std::optional<bool> blended;  // whether a compositor blends windows, asked once if needed
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (!widget->isVisible() || isTrayIconWindow(*widget) || !widget->geometry().intersects(icon)) {
      continue;
    }
    const auto window = static_cast<xcb_window_t>(widget->winId());
    const std::optional<QRegion> shape = x11shape::boundingRegion(connection, window);
    const bool translucent = widget->testAttribute(Qt::WA_TranslucentBackground);
    if (translucent && !blended) blended = x11shape::compositorPresent(connection, window);
    std::function<QImage(const QRect&)> pixels;
    if (translucent && *blended) {
      pixels = [widget](const QRect& area) { return widget->grab(area).toImage(); };
    }
    const qreal ratio = widget->devicePixelRatioF();
    const QRegion shown =
        shownOver(icon, widget->geometry(),
                  shape ? std::optional(logicalRegion(*shape, ratio)) : std::nullopt, pixels);
    if (!panelHidden(icon, {shown})) continue;
    covering.windows.push_back(widget);
    covering.drawnInPart = covering.drawnInPart || shape || pixels;
  }
  return covering;
}

}  // namespace

TrayInkSource x11TrayInkSource() {
  xcb_connection_t* connection = SystemEnvironment::qtConnection();
  if (connection == nullptr) return nullptr;
  auto look = std::make_shared<X11TrayLook>(connection, displayScreenNumber());
  auto cover = std::make_shared<IconCoverWatch>();
  return [look, cover, connection](const QRect& area,
                                   std::function<void()> readAgain) -> std::optional<QColor> {
    // Qt's own answer may be stale once the tray has reparented the icon: the server's
    // place of the icon's window, when there is one.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
    std::optional<QRect> pixels = look->placeOf(trayIconWindow());
    if (!pixels && !area.isEmpty()) pixels = QRect(area.topLeft() * ratio, area.size() * ratio);
    const std::optional<QColor> foreground = look->foreground();
    const QRect icon = pixels ? QRect(pixels->topLeft() / ratio, pixels->size() / ratio) : QRect();
    // Only the panel's pixels need the screen as the panel shows it.
    if (!foreground && !icon.isEmpty()) {
      const CoveringWindows covering = windowsOver(icon, connection);
      if (!covering.windows.empty()) {
        cover->follow(covering.windows, covering.drawnInPart, std::move(readAgain));
        return std::nullopt;
      }
    }
    cover->stop();
    return trayInk(foreground, pixels ? look->background(*pixels) : std::nullopt,
                   QGuiApplication::palette().color(QPalette::WindowText));
  };
}

}  // namespace vorlane
