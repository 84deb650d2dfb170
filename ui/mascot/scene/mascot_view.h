#pragma once

#include <QGraphicsView>
#include <QPointer>

#include "ui/mascot/scene/mascot_input.h"
#include "ui/scene/scene.h"

namespace vorlane {

// Shows the mascot's scene in its column: no frame, no scroll bars, nothing painted where
// the scene is empty, so the desktop shows through. It draws only what the scene changes;
// whether anything moves is up to the scene's frame driver. Left presses, drags, releases,
// moves and menu requests go to its input, in scene points; it handles none itself.
class MascotView final : public QGraphicsView {
 public:
  explicit MascotView(Scene* scene, QWidget* parent = nullptr);

  // Not owned; none (the start) drops every event.
  void setInput(MascotInputHandling* input) { input_ = input; }
  // Called on entering, leaving and every move, before the input hears of the move.
  std::function<void()> onPointerActivity;

  // A view point as a scene point: same x, y counted up from the bottom.
  QPointF toScene(QPointF viewPoint) const;
  // One box of view pixels around everything scene rectangles reported as changed may touch:
  // antialiased edges reach up to two pixels beyond a rectangle, as the view itself allows.
  // One box, as the view's own repaints take: drawing clipped to many pieces costs more.
  QRect changedArea(const QList<QRectF>& sceneRects) const;
  // Pointing hand over a pill, open hand over the character, arrow elsewhere.
  void updateCursor(QPointF scenePoint);

 protected:
  bool event(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  MascotInputHandling* input_ = nullptr;
};

}  // namespace vorlane
