#pragma once

#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "core/settings/preferences_store.h"
#include "ui/mascot/controller/mascot_pointer_host.h"
#include "ui/mascot/scene/mascot_input.h"
#include "ui/scene/delayed_work.h"

namespace vorlane {

// The mascot's pointer: where its window takes the pointer (the input shape), the pills
// coming in while the pointer hovers, clicks on pills and on the character, the pull that
// asks for a visit, the modifier-drag that moves the column, and the context menu. Main
// thread only.
//
// Watching and click-through are separate: click-through may come and go (a tray appearing
// or leaving) while the pointer is watched, and the live areas come back with it. At most
// one gesture runs, a move or a pull; each pushes the closed hand once and every way out of
// it pops it once.
class MascotPointerInput final : public MascotInputHandling {
 public:
  struct Dependencies {
    MascotPointerHost* host;                        // required, outlives this
    std::shared_ptr<PreferencesStore> preferences;  // required
    std::function<QPoint()> pointerLocation;        // required, global pixels
    std::function<bool()> trayAvailable;            // required, asked at every use
    std::function<int()> doubleClickInterval;       // required, milliseconds
    std::unique_ptr<DelayedWork> pillGuard;         // required
  };

  // A move of the column, from a modifier-press on the character to the release.
  struct Moving {
    QPoint origin;  // global pixels
    MascotPlacement initial;
    ScreenInfo screen;
    MascotPlacement current;
  };

  // Throws std::invalid_argument when a dependency is missing.
  explicit MascotPointerInput(Dependencies dependencies);
  ~MascotPointerInput() override;
  MascotPointerInput(const MascotPointerInput&) = delete;
  MascotPointerInput& operator=(const MascotPointerInput&) = delete;

  // The window takes the pointer over the character and the pills while watching, outside
  // click-through.
  void startWatchingPointer();
  void stopWatchingPointer();
  // Re-reads click-through: the stored preference, applied only where a tray offers the
  // way back. Returns it.
  bool refreshClickThrough();
  // What refreshClickThrough would read now.
  bool effectiveClickThrough() const;
  // Drops a move or a pull in progress without saving anything.
  void cancelPointerGesture();
  // A visit starts: a move ends where it got to and is saved for its display; a pull is
  // dropped.
  void yieldToVisit();
  // Recomputes hovering and transparency for a pointer in global pixels.
  void updateInteractivity(QPoint pointer);
  void resignInteractivity();
  void refreshCursorRects();
  // Sends the window the areas that take the pointer: the character and the live pills
  // while watching, the whole window during a move, nothing in click-through.
  void refreshLiveRects();
  // A new window: the live areas are sent again in full.
  void forgetLiveRects() { liveRects_.clear(); }
  // The scene is gone: no pill guards the next one and no live areas are remembered.
  void forgetScene();
  // The pills were laid out again: one now under a pointer that did not move there is kept
  // from taking clicks for a double-click interval, so the second click of a double click
  // does not land on it.
  void quickActionsRebuilt();

  // MascotInputHandling.
  void mouseDown(QPointF at, bool reposition) override;
  void mouseDragged(QPointF to) override;
  void mouseUp(QPointF at) override;
  void mouseMoved(QPointF to) override;
  QMenu* menu(QPointF at) override;
  Rect grabbableRect() const override;
  std::vector<Rect> clickableRects() const override;

  bool isWatchingPointer() const { return isWatchingPointer_; }
  bool isClickThrough() const { return clickThrough_; }
  bool isHovering() const { return isHovering_; }
  bool ignoresMouseEvents() const { return ignoresMouseEvents_; }
  // The move in progress, or none.
  const Moving* moving() const { return std::get_if<Moving>(&gesture_); }
  bool isMoving() const { return moving() != nullptr; }
  // Where a pull on the character began, while one runs.
  std::optional<QPointF> dragOrigin() const;

 private:
  struct Pull {
    QPointF origin;
  };

  QPointF toScenePoint(QPoint global) const;
  // Ends a move and stores the placement it reached.
  void finishMove();
  void endMove();
  void endPull(QPointF at);
  // The pill whose frame holds a scene point, shown or not.
  std::optional<QuickAction> pillAt(QPointF at) const;
  // The pointer is at `at`: the pill there is what the user sees under it, if pills show.
  void seePillsAt(QPointF at);

  MascotPointerHost& host_;
  std::shared_ptr<PreferencesStore> preferences_;
  std::function<QPoint()> pointerLocation_;
  std::function<bool()> trayAvailable_;
  std::function<int()> doubleClickInterval_;
  std::unique_ptr<DelayedWork> pillGuard_;

  bool isWatchingPointer_ = false;
  bool clickThrough_ = false;
  bool isHovering_ = false;
  bool ignoresMouseEvents_ = true;
  std::variant<std::monostate, Moving, Pull> gesture_;
  std::vector<Rect> previousCursorRects_;
  QVector<QRect> liveRects_;
  // The pill the user last saw under the pointer.
  std::optional<QuickAction> pillSeenUnderPointer_;
  // Outside the live rectangles nothing arrives, so leaving through a gap is polled for.
  QTimer hoverPoll_;
};

}  // namespace vorlane
