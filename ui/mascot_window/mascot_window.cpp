#include "ui/mascot_window/mascot_window.h"

#include <QBackingStore>
#include <QEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QWindow>
#include <functional>

#include "platform/desktop/environment/system_environment.h"
#include "ui/mascot_window/column_geometry.h"
#include "ui/mascot_window/content_mask.h"
#include "ui/mascot_window/x11_frame_presenter.h"
#include "ui/mascot_window/x11_shape.h"

namespace vorlane {
namespace {

// Qt paints a window's widgets bottom to top into its backing store and then puts the
// painted region on screen. A transparent widget on top is painted last: at its paint the
// frame is complete in the backing store and not yet on screen.
class LastPainter final : public QWidget {
 public:
  LastPainter(QWidget* parent, std::function<void(const QRegion&)> painted)
      : QWidget(parent), painted_(std::move(painted)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent* event) override { painted_(event->region()); }

 private:
  std::function<void(const QRegion&)> painted_;
};

std::unique_ptr<FramePresenter> presenterOverQtConnection(MascotWindow& window) {
  // Device pixels that are not logical ones are left to Qt's scaled backing store.
  if (window.devicePixelRatio() != 1.0) return nullptr;
  return X11FramePresenter::create(SystemEnvironment::qtConnection(), xcb_window_t(window.winId()));
}

}  // namespace

MascotWindow::MascotWindow(const ScreenInfo& screen, const MascotPlacement& placement,
                           PresenterFactory makePresenter)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
      makePresenter_(makePresenter ? std::move(makePresenter) : presenterOverQtConnection) {
  // The visual is chosen when the native window is made: translucency must come first.
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  target_ = frame(screen, placement);
  setGeometry(target_);
  lastPainter_ = new LastPainter(this, [this](const QRegion& r) { framePainted(r); });
  lastPainter_->setGeometry(rect());
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
  lastPainter_->raise();
  contentChanged();
}

void MascotWindow::setLiveRects(const QVector<QRect>& rects) {
  liveRects_ = rects;
  applyShapes();
}

bool MascotWindow::needsContentChanges() const {
  if (!usesContentMask()) return false;
  const QWindow* native = windowHandle();
  return !(framesReadable_ && isVisible() && native != nullptr && native->isExposed());
}

void MascotWindow::contentChanged() {
  if (needsContentChanges()) refreshContentMask();
}

void MascotWindow::setContentChangeListener(std::function<void(bool)> listener) {
  contentListener_ = std::move(listener);
  listening_.reset();
  updateContentListening();
}

void MascotWindow::updateContentListening() {
  const bool listen = needsContentChanges();
  if (!contentListener_ || listening_ == listen) return;
  listening_ = listen;
  contentListener_(listen);
}

void MascotWindow::refreshContentMask() {
  if (!usesContentMask()) {
    contentMask_.reset();
  } else {
    grabbing_ = true;  // this rendering is not a frame on its way to the screen
    const QImage pixels = grab().toImage();  // transparent where nothing paints
    grabbing_ = false;
    contentMask_ = opaqueRegion(pixels);
  }
  sendContentMask();
}

bool MascotWindow::presentsFrames() const { return presenter_ != nullptr && isVisible(); }

void MascotWindow::setFramePresentationListener(std::function<void(bool)> listener) {
  presentationListener_ = std::move(listener);
  presenting_.reset();
  updatePresentation();
}

void MascotWindow::updatePresentation() {
  const bool presents = presentsFrames();
  if (!presentationListener_ || presenting_ == presents) return;
  presenting_ = presents;
  presentationListener_(presents);
}

void MascotWindow::contentAreaChanged(const QRegion& area) {
  const QRegion changed = area & rect();
  if (changed.isEmpty()) return;
  if (presentArea(changed)) return;
  if (content_) {
    content_->update(changed.translated(-content_->pos()));
  } else {
    update(changed);
  }
}

bool MascotWindow::presentArea(const QRegion& area) {
  const QWindow* native = windowHandle();
  QBackingStore* store = backingStore();
  if (!presentsFrames() || native == nullptr || !native->isExposed() || store == nullptr ||
      store->size() != size()) {
    return false;  // Qt paints the whole window first, or again once it shows
  }
  store->beginPaint(area);
  QPaintDevice* device = store->paintDevice();
  if (device == nullptr || device->devType() != QInternal::Image) {
    store->endPaint();
    return false;
  }
  if (content_) {
    // The area's corner lands on the given point: the content is drawn where it stands.
    const QRegion own = area.translated(-content_->pos());
    content_->render(device, area.boundingRect().topLeft(), own, QWidget::DrawChildren);
  }
  store->endPaint();
  framePainted(area);  // the shown area goes out before the pixels
  const auto& frame = *static_cast<const QImage*>(device);
  if (!presenter_->present(frame, area)) store->flush(area, windowHandle());
  return true;
}

void MascotWindow::framePainted(const QRegion& repainted) {
  if (grabbing_ || !usesContentMask()) return;
  QBackingStore* store = backingStore();
  QPaintDevice* device = store != nullptr ? store->paintDevice() : nullptr;
  // Without alpha in the backing store (offscreen, or no translucent visual) the frame
  // cannot tell what it leaves empty: the content is then read when it says it changed.
  framesReadable_ = device != nullptr && device->devType() == QInternal::Image &&
                    static_cast<const QImage*>(device)->hasAlphaChannel();
  updateContentListening();
  if (!framesReadable_) return;
  const auto& frame = *static_cast<const QImage*>(device);
  // Qt may keep a backing store larger than the window; only the window's part shows.
  const qreal ratio = frame.devicePixelRatio();
  const QRect window = QRectF(QPointF(), QSizeF(size()) * ratio).toAlignedRect();
  const QRectF dirty(repainted.boundingRect());
  const QRect area = QRectF(dirty.topLeft() * ratio, dirty.size() * ratio).toAlignedRect();
  const QRegion mask = repaintedOpaqueRegion(contentMask_, frame, area) & window;
  if (mask == contentMask_) return;
  contentMask_ = mask;
  // Sent before the frame: the server shapes the window, then draws the pixels.
  sendContentMask();
}

void MascotWindow::forgetFrame() {
  frame_ = XCB_WINDOW_NONE;
  frameKnown_ = false;
}

void MascotWindow::sendContentMask() {
  if (testAttribute(Qt::WA_WState_Created)) {
    x11shape::setBoundingRegion(SystemEnvironment::qtConnection(), xcb_window_t(winId()),
                                contentMask_, frame_);
  }
}

bool MascotWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Show: {
      sentBack_ = false;
      // The native window exists but is not mapped yet.
      const auto window = xcb_window_t(winId());
      compositorPresent_ = x11shape::compositorPresent(SystemEnvironment::qtConnection(), window);
      x11shape::setAllWorkspacesBeforeMapping(SystemEnvironment::qtConnection(), window);
      if (!presenter_) presenter_ = makePresenter_(*this);
      refreshContentMask();
      applyShapes();
      updateContentListening();
      // Shown from here on, though the event comes first.
      QMetaObject::invokeMethod(
          this, [this] { updatePresentation(); }, Qt::QueuedConnection);
      // Window managers forget the states of an unmapped window: ask again once mapped.
      QMetaObject::invokeMethod(
          this,
          [this] {
            x11shape::requestStickyState(SystemEnvironment::qtConnection(), xcb_window_t(winId()));
          },
          Qt::QueuedConnection);
      break;
    }
    case QEvent::WinIdChange:
      forgetFrame();
      presenter_.reset();  // made again for the new window when shown
      if (isVisible() && testAttribute(Qt::WA_WState_Created)) presenter_ = makePresenter_(*this);
      updatePresentation();
      refreshContentMask();
      applyShapes();
      if (windowHandle() != nullptr) windowHandle()->installEventFilter(this);
      break;
    case QEvent::Hide:
      forgetFrame();
      updateContentListening();
      updatePresentation();
      break;
    case QEvent::Resize:
      if (content_) content_->setGeometry(rect());
      lastPainter_->setGeometry(rect());
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
  if (watched == windowHandle() && event->type() == QEvent::Expose) {
    if (!windowHandle()->isExposed()) {
      forgetFrame();  // unmapped: the window manager may drop the frame and reuse its id
    } else if (isVisible() && !frameKnown_) {
      // Framed by now: the window manager takes a window before it maps it.
      frameKnown_ = true;
      frame_ = usesContentMask()
                   ? x11shape::bareFrame(SystemEnvironment::qtConnection(), xcb_window_t(winId()))
                   : xcb_window_t(XCB_WINDOW_NONE);
    }
    if (isVisible()) {
      sendContentMask();
      applyShapes();
    }
    // Exposed or no longer: whether frames can carry the shown area changes with it.
    updateContentListening();
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
  x11shape::setInputRects(SystemEnvironment::qtConnection(), xcb_window_t(winId()), native);
}

}  // namespace vorlane
