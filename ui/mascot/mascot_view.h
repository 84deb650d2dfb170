#pragma once

#include <QGraphicsView>
#include <QPointer>

#include <optional>
#include <vector>

#include "ui/mascot/mascot_input.h"
#include "ui/scene/part_motion.h"
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

  // After each frame of the scene. The X connection takes repainted rows as wide as the
  // window straight from its pixels, but copies a narrower area into a buffer of Qt's that
  // stays as large as the largest such area: a large change is repainted across the whole
  // width, so that the buffer stays the size of a small figure's motion.
  void frameStepped();
  // The rows of a view `width` wide to repaint for a change of `area` (view pixels) that is
  // larger than `largestNarrowArea` pixels, with the area's edge pixels; none for a smaller one.
  static std::optional<QRect> wholeRowsFor(const QRectF& area, int width);
  static constexpr double largestNarrowArea = 32 * 1024;

  // A view point as a scene point: same x, y counted up from the bottom.
  QPointF toScene(QPointF viewPoint) const;
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
  std::vector<PartBox> partsBefore_;
  std::vector<PartBox> partsNow_;
};

}  // namespace vorlane
