#pragma once

#include <QMenu>

#include "coordination/commands/quick_action.h"
#include "core/desktop/mascot_placement.h"
#include "ui/mascot/scene/mascot_scene.h"
#include "ui/mascot/scene/mascot_view.h"
#include "ui/mascot_window/mascot_window.h"
#include "ui/mascot_window/screen_info.h"
#include "ui/scene/frame_driver.h"

namespace vorlane {

// What pointer input asks of the mascot around it: the window, view and scene as they are
// now (each may be missing), the animation windows, the placements, and where its gestures
// are reported. Main thread only.
class MascotPointerHost {
 public:
  virtual ~MascotPointerHost() = default;

  virtual MascotWindow* window() const = 0;
  virtual MascotView* view() const = 0;
  virtual MascotScene* scene() const = 0;
  virtual FrameDriver* frameDriver() const = 0;
  virtual bool isPerformingVisit() const = 0;

  // The display the mascot uses now, and the placement saved for a display.
  virtual ScreenInfo targetScreen() const = 0;
  virtual MascotPlacement savedPlacement(const ScreenInfo& screen) const = 0;

  // The view runs from now until something settles it; a pending settle is dropped.
  virtual void keepAnimating() = 0;
  // The view runs for `seconds`, then settles unless something keeps it running.
  virtual void stir(double seconds) = 0;
  // A move starts: no pending settle or still redraw may stop the view, and the character
  // holds still while the column travels.
  virtual void holdStillForMove() = 0;
  // Lays the column out again, where a move in progress has got to.
  virtual void layOutColumn() = 0;

  // The user's gestures.
  virtual void endVisitEarly() = 0;
  virtual void chooseQuickAction(QuickAction action) = 0;
  virtual void pullDown() = 0;
  virtual void setHorizontalPlacement(double horizontal) = 0;
  virtual void resetPlacement() = 0;
  // Adds the status menu, after a separator, to the context menu, for when no tray shows
  // it; nothing when there is none to add.
  virtual void addStatusMenu(QMenu& menu) = 0;
};

}  // namespace vorlane
