#include "ui/tray/xembed_tray_icon.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "platform/desktop/tray/xembed_dock_request.h"
#include "platform/desktop/windows/xcb_reply.h"

namespace vorlane {

XEmbedTrayIcon::XEmbedTrayIcon(xcb_connection_t* connection, int screenNumber)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint),
      connection_(connection),
      screenNumber_(screenNumber) {
  setObjectName(QString::fromLatin1(objectNameForTrays));
  setAttribute(Qt::WA_AlwaysShowToolTips, true);
  setAttribute(Qt::WA_QuitOnClose, false);
  // The size GNOME's trays gave; the tray sets its own.
  const QSize size(22, 22);
  setGeometry(QRect(QPoint(0, 0), size));
  setMinimumSize(size);
}

bool XEmbedTrayIcon::dock() {
  if (!requestXEmbedDock(connection_, screenNumber_, static_cast<xcb_window_t>(winId()),
                         minimumWidth())) {
    return false;
  }
  background_ = QPixmap();
  show();
  return true;
}

void XEmbedTrayIcon::setIcon(const QIcon& icon) {
  icon_ = icon;
  update();
}

QRect XEmbedTrayIcon::placement() const {
  if (!isVisible() || connection_ == nullptr || xcb_connection_has_error(connection_)) {
    return {};
  }
  // The tray reparented the window without telling Qt where it went: the server knows.
  xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
  const auto place = owned(xcb_translate_coordinates_reply(
      connection_,
      xcb_translate_coordinates(connection_, static_cast<xcb_window_t>(winId()), root, 0, 0),
      nullptr));
  if (!place) return {};
  const qreal ratio = devicePixelRatioF();
  return {QPoint(qRound(place->dst_x / ratio), qRound(place->dst_y / ratio)), size()};
}

void XEmbedTrayIcon::readPanelAgain() {
  background_ = QPixmap();
  if (isVisible()) repaint();
}

void XEmbedTrayIcon::paintEvent(QPaintEvent*) {
  const QRect area(QPoint(0, 0), size());
  QPainter painter(this);
  if (background_.isNull()) {
    // The window shows its parent's background once cleared; read it before drawing over it.
    clearToBackground(connection_, static_cast<xcb_window_t>(winId()));
    if (QScreen* shown = screen()) {
      background_ = shown->grabWindow(winId(), 0, 0, area.width(), area.height());
    }
  }
  if (!background_.isNull()) painter.drawPixmap(QPoint(0, 0), background_);
  icon_.paint(&painter, area);
}

void XEmbedTrayIcon::mousePressEvent(QMouseEvent* event) {
  if (pressed) pressed(event->button(), event->globalPosition().toPoint());
}

void XEmbedTrayIcon::resizeEvent(QResizeEvent* event) {
  background_ = QPixmap();
  update();
  QWidget::resizeEvent(event);
}

void XEmbedTrayIcon::moveEvent(QMoveEvent* event) {
  // Docked or moved along the panel: another piece of it is under the icon.
  background_ = QPixmap();
  update();
  QWidget::moveEvent(event);
}

}  // namespace vorlane
