#include "ui/overlays/overlay_window.h"

#include <QEvent>
#include <QGuiApplication>

#include "platform/desktop/environment/system_environment.h"
#include "ui/mascot_window/x11_shape.h"

namespace vorlane {
namespace {

Qt::WindowFlags overlayFlags(bool clickThrough) {
  Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint;
  if (clickThrough) flags |= Qt::WindowTransparentForInput;
  return flags;
}

}  // namespace

OverlayWindow::OverlayWindow(bool clickThrough)
    : QWidget(nullptr, overlayFlags(clickThrough)), clickThrough_(clickThrough) {
  // The visual is chosen when the native window is made: translucency must come first.
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
}

void OverlayWindow::orderFront() {
  show();
  raise();
}

bool OverlayWindow::event(QEvent* event) {
  if (event->type() == QEvent::Show) {
    // The native window exists but is not mapped yet.
    const auto window = xcb_window_t(winId());
    x11shape::setAllWorkspacesBeforeMapping(SystemEnvironment::qtConnection(), window);
    if (clickThrough_) x11shape::setInputRects(SystemEnvironment::qtConnection(), window, {});
    // Window managers forget the states of an unmapped window: ask again once mapped.
    QMetaObject::invokeMethod(
        this,
        [this] {
          x11shape::requestStickyState(SystemEnvironment::qtConnection(), xcb_window_t(winId()));
        },
        Qt::QueuedConnection);
  }
  return QWidget::event(event);
}

bool compositorRunning() {
  xcb_connection_t* c = SystemEnvironment::qtConnection();
  if (c == nullptr) return false;
  const auto screen = xcb_setup_roots_iterator(xcb_get_setup(c));
  if (screen.rem == 0) return false;
  return x11shape::compositorPresent(c, screen.data->root);
}

}  // namespace vorlane
