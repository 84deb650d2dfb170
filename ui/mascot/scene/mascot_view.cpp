#include "ui/mascot/scene/mascot_view.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

namespace vorlane {

MascotView::MascotView(Scene* scene, QWidget* parent) : QGraphicsView(scene, parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setBackgroundBrush(Qt::NoBrush);
  setAttribute(Qt::WA_TranslucentBackground);
  viewport()->setAutoFillBackground(false);
  setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                 QPainter::TextAntialiasing);
  setFocusPolicy(Qt::NoFocus);
  // Nodes move every frame: repainting the union of their boxes is cheaper than tracking each.
  setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
  // Every node sets the pen and brush it paints with and restores whatever else it changes.
  setOptimizationFlag(QGraphicsView::DontSavePainterState);
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
}

bool MascotView::event(QEvent* event) {
  // The viewport covers the whole view (no frame, no scroll bars), so the view itself draws
  // nothing; yet, under a translucent viewport, it would be asked to on every frame and go
  // through the style to draw an empty frame.
  if (event->type() == QEvent::Paint) return true;
  return QGraphicsView::event(event);
}

QPointF MascotView::toScene(QPointF viewPoint) const {
  return {viewPoint.x(), static_cast<double>(height()) - viewPoint.y()};
}

QRect MascotView::changedArea(const QList<QRectF>& sceneRects) const {
  const QTransform toView = viewportTransform();
  QRect area;
  for (const QRectF& rect : sceneRects) {
    area |= toView.mapRect(rect).toAlignedRect().adjusted(-2, -2, 2, 2);
  }
  area &= viewport()->rect();
  return area.isEmpty() ? QRect() : area.translated(viewport()->pos());
}

void MascotView::updateCursor(QPointF scenePoint) {
  Qt::CursorShape shape = Qt::ArrowCursor;
  if (input_ != nullptr) {
    if (input_->grabbableRect().contains(scenePoint)) shape = Qt::OpenHandCursor;
    for (const Rect& pill : input_->clickableRects()) {
      if (pill.contains(scenePoint)) shape = Qt::PointingHandCursor;
    }
  }
  if (viewport()->cursor().shape() != shape) viewport()->setCursor(shape);
}

void MascotView::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (input_ == nullptr || event->button() != Qt::LeftButton) return;
  // Window managers often keep Alt-drag for themselves, so Ctrl moves the mascot too.
  const bool reposition = (event->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) != 0;
  input_->mouseDown(toScene(event->position()), reposition);
}

void MascotView::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (onPointerActivity) onPointerActivity();
  if (input_ == nullptr) return;
  const QPointF at = toScene(event->position());
  if (event->buttons() & Qt::LeftButton) {
    input_->mouseDragged(at);
  } else {
    input_->mouseMoved(at);
    updateCursor(at);
  }
}

void MascotView::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (input_ == nullptr || event->button() != Qt::LeftButton) return;
  input_->mouseUp(toScene(event->position()));
}

// A second click is one more press, not a gesture of its own.
void MascotView::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void MascotView::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  if (input_ == nullptr) return;
  QMenu* menu = input_->menu(toScene(event->pos()));
  if (menu == nullptr) return;
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void MascotView::enterEvent(QEnterEvent* event) {
  QGraphicsView::enterEvent(event);
  if (onPointerActivity) onPointerActivity();
}

void MascotView::leaveEvent(QEvent* event) {
  QGraphicsView::leaveEvent(event);
  if (onPointerActivity) onPointerActivity();
}

void MascotView::wheelEvent(QWheelEvent* event) { event->accept(); }

}  // namespace vorlane
