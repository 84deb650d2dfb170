#include "ui/window/mascot_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

#include "ui/window/column_geometry.h"
#include "ui/window/content_mask.h"
#include "ui/window/x11_shape.h"

namespace vorlane {
namespace {

constexpr int maskIntervalMs = 66;

xcb_connection_t* qtConnection() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  auto* x11 = app != nullptr ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace

MascotWindow::MascotWindow(const ScreenInfo& screen, const MascotPlacement& placement)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
  // The visual is chosen when the native window is made: translucency must come first.
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  target_ = frame(screen, placement);
  setGeometry(target_);
  maskTimer_.setSingleShot(true);
  connect(&maskTimer_, &QTimer::timeout, this, &MascotWindow::refreshContentMask);
}

MascotWindow::~MascotWindow() = default;

QRect MascotWindow::frame(const ScreenInfo& screen, const MascotPlacement& placement) {
  return columnFrame(screen.availableGeometry, placement);
}

bool MascotWindow::reposition(const ScreenInfo& screen, const MascotPlacement& placement) {
  const QRect target = frame(screen, placement);
  target_ = target;
  sentBack_ = false;
  if (geometry() == target) return false;
  setGeometry(target);
  // A hidden window gets its resize event only when shown; the content must fit already.
  if (content_) content_->setGeometry(QRect(QPoint(), target.size()));
  if (usesContentMask()) contentChanged();
  return true;
}

void MascotWindow::setContentWidget(QWidget* content) {
  if (content_ == content) return;
  if (content_) {
    content_->hide();
    content_->deleteLater();  // it may be on the stack of its own event handler
  }
  content_ = content;
  if (content_) {
    content_->setParent(this);
    content_->setGeometry(rect());
    content_->show();
  }
  contentChanged();
}

void MascotWindow::setLiveRects(const QVector<QRect>& rects) {
  liveRects_ = rects;
  applyShapes();
}

void MascotWindow::contentChanged() {
  if (!usesContentMask() || maskTimer_.isActive()) return;
  const qint64 since = sinceMask_.isValid() ? sinceMask_.elapsed() : maskIntervalMs;
  if (since >= maskIntervalMs) {
    refreshContentMask();
  } else {
    maskTimer_.start(int(maskIntervalMs - since));
  }
}

void MascotWindow::refreshContentMask() {
  maskTimer_.stop();
  sinceMask_.start();
  if (!usesContentMask()) {
    contentMask_.reset();
  } else {
    const QPixmap pixels = grab();  // transparent where nothing paints
    contentMask_ = opaqueRegion(pixels.toImage());
  }
  if (testAttribute(Qt::WA_WState_Created)) {
    x11shape::setBoundingRegion(qtConnection(), xcb_window_t(winId()), contentMask_);
  }
}

bool MascotWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Show: {
      sentBack_ = false;
      // The native window exists but is not mapped yet.
      const auto window = xcb_window_t(winId());
      compositorPresent_ = x11shape::compositorPresent(qtConnection(), window);
      x11shape::setAllWorkspacesBeforeMapping(qtConnection(), window);
      refreshContentMask();
      applyShapes();
      // Window managers forget the states of an unmapped window: ask again once mapped.
      QMetaObject::invokeMethod(
          this, [this] { x11shape::requestStickyState(qtConnection(), xcb_window_t(winId())); },
          Qt::QueuedConnection);
      break;
    }
    case QEvent::WinIdChange:
      refreshContentMask();
      applyShapes();
      if (windowHandle() != nullptr) windowHandle()->installEventFilter(this);
      break;
    case QEvent::Resize:
      if (content_) content_->setGeometry(rect());
      break;
    case QEvent::Move:
      // While the window manager frames a new window, Qt can read the frame's position
      // before it is placed and keep it when no later notice comes, although the window
      // stands where it was asked to. Asking for the place again brings the window
      // manager's answer; once only, so a manager that insists on its own place wins.
      if (isVisible() && !sentBack_ && pos() != target_.topLeft()) {
        sentBack_ = true;
        QMetaObject::invokeMethod(
            this,
            [self = QPointer<MascotWindow>(this)] {
              if (self && self->isVisible() && self->geometry() != self->target_) {
                self->setGeometry(self->target_);
              }
            },
            Qt::QueuedConnection);
      }
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

bool MascotWindow::eventFilter(QObject* watched, QEvent* event) {
  // A window manager that frames the window copies its shapes to the frame when it takes the
  // window, but not always the input shape set just before: set it again once mapped.
  if (watched == windowHandle() && event->type() == QEvent::Expose && isVisible()) {
    x11shape::setBoundingRegion(qtConnection(), xcb_window_t(winId()), contentMask_);
    applyShapes();
  }
  return QWidget::eventFilter(watched, event);
}

void MascotWindow::applyShapes() {
  if (!testAttribute(Qt::WA_WState_Created)) return;
  const qreal ratio = devicePixelRatio();
  QVector<QRect> native;
  for (const QRect& r : liveRects_) {
    native.push_back(QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio)
                         .toAlignedRect());
  }
  x11shape::setInputRects(qtConnection(), xcb_window_t(winId()), native);
}

}  // namespace vorlane
