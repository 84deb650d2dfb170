#pragma once

#include <QPointF>
#include <vector>

#include "ui/scene/rect.h"

class QMenu;

namespace vorlane {

// How the mascot's view hands its pointer events to whoever drives the mascot. Points and
// rectangles are the scene's: origin at the window's lower left, y upwards.
class MascotInputHandling {
 public:
  virtual ~MascotInputHandling() = default;

  // A left press; `reposition` when a move modifier (Ctrl or Alt) is held.
  virtual void mouseDown(QPointF at, bool reposition) = 0;
  virtual void mouseDragged(QPointF to) = 0;
  virtual void mouseUp(QPointF at) = 0;
  virtual void mouseMoved(QPointF to) = 0;
  // The context menu for a point, or none; the caller shows it and it deletes itself.
  virtual QMenu* menu(QPointF at) = 0;
  // Where the character can be grabbed.
  virtual Rect grabbableRect() const = 0;
  // The pills' frames.
  virtual std::vector<Rect> clickableRects() const = 0;
};

}  // namespace vorlane
