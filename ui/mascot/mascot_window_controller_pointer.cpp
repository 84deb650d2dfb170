// The presenter's pointer half: where the window takes the pointer, the pills coming in on
// hover, clicks on pills and on the character, the pull that asks for a visit, the
// modifier-drag that moves the column, and the context menu.

#include <cmath>

#include <QGuiApplication>
#include <QMenu>

#include "platform/logging/log.h"
#include "ui/kit/desktop_texts.h"
#include "ui/mascot/mascot_window_controller.h"
#include "ui/mascot_window/column_geometry.h"

namespace vorlane {

namespace {

// Below this a press and release count as a click, which also asks for a visit.
constexpr double clickSlop = 4;

}  // namespace

bool MascotWindowController::effectiveClickThrough() const {
  return preferences().mascotClickThrough && trayAvailable_();
}

QPointF MascotWindowController::toScenePoint(QPoint global) const {
  if (!window_) return QPointF(global);
  const QRect win = window_->geometry();
  return {static_cast<double>(global.x() - win.x()),
          static_cast<double>(win.y() + win.height() - global.y())};
}

void MascotWindowController::startWatchingPointer() {
  if (effectiveClickThrough()) {
    clickThrough_ = true;
    ignoresMouseEvents_ = true;
    refreshLiveRects();
    return;
  }
  if (isWatchingPointer_) return;
  isWatchingPointer_ = true;
  refreshLiveRects();
}

void MascotWindowController::stopWatchingPointer() {
  isWatchingPointer_ = false;
  resignInteractivity();
  refreshLiveRects();
}

void MascotWindowController::cancelPointerGesture() {
  const bool inGesture = moving_.has_value() || dragOrigin_.has_value();
  moving_.reset();
  dragOrigin_.reset();
  if (scene_) scene_->cancelDrag();
  if (inGesture) {
    QGuiApplication::restoreOverrideCursor();
    refreshLiveRects();
  }
}

void MascotWindowController::updateInteractivity(QPoint pointer) {
  if (!window_ || !scene_) return;
  if (clickThrough_) {
    ignoresMouseEvents_ = true;
    return;
  }
  if (moving_) {
    ignoresMouseEvents_ = false;
    return;
  }
  const QPointF point = toScenePoint(pointer);
  seePillsAt(point);
  if (!scene_->interactiveFrame().contains(point)) {
    if (!scene_->isDragging()) resignInteractivity();
    return;
  }
  if (!isHovering_) {
    isHovering_ = true;
    settleWork_->cancel();
    setAnimating(true);
    scene_->showQuickActions();
    hoverPoll_.start();
  }
  if (!scene_->isDragging()) ignoresMouseEvents_ = !scene_->containsInteractivePoint(point);
  scene_->highlightQuickAction(point);
  if (!scene_->isDragging()) refreshCursorRects();
}

void MascotWindowController::resignInteractivity() {
  if (!window_) return;
  hoverPoll_.stop();
  if (!isHovering_ && ignoresMouseEvents_) return;
  isHovering_ = false;
  ignoresMouseEvents_ = true;
  if (scene_) scene_->hideQuickActions();
  refreshCursorRects();
  stir(0.5);
}

void MascotWindowController::refreshCursorRects() {
  if (!window_ || !view_) return;
  std::vector<Rect> rects{grabbableRect()};
  for (const Rect& r : clickableRects()) rects.push_back(r);
  if (rects == previousCursorRects_) return;
  previousCursorRects_ = std::move(rects);
  view_->updateCursor(toScenePoint(pointerLocation_()));
  refreshLiveRects();
}

Rect MascotWindowController::grabbableRect() const {
  return scene_ ? scene_->characterHitFrame() : Rect{};
}

std::vector<Rect> MascotWindowController::clickableRects() const {
  return scene_ ? scene_->quickActionFrames() : std::vector<Rect>{};
}

void MascotWindowController::mouseMoved(QPointF to) {
  if (scene_) scene_->highlightQuickAction(to);
  seePillsAt(to);
}

std::optional<QuickAction> MascotWindowController::pillAt(QPointF at) const {
  if (!scene_) return std::nullopt;
  for (const QuickActionNode* pill : scene_->actionNodes()) {
    if (Rect::from(pill->frame()).contains(at)) return pill->action();
  }
  return std::nullopt;
}

void MascotWindowController::seePillsAt(QPointF at) {
  pillSeenUnderPointer_ =
      scene_ && scene_->quickActionsAreInteractive() ? pillAt(at) : std::nullopt;
}

void MascotWindowController::quickActionsRebuilt() {
  // During a move the pills travel with the monkey under a pointer that moves too.
  if (!window_ || moving_) return;
  const std::optional<QuickAction> now = pillAt(toScenePoint(pointerLocation_()));
  if (now && now != pillSeenUnderPointer_) {
    pillGuard_->schedule(doubleClickInterval_() / 1000.0, [] {});
  }
  pillSeenUnderPointer_ = now;
}

void MascotWindowController::mouseDown(QPointF at, bool reposition) {
  if (!scene_ || effectiveClickThrough()) return;
  if (reposition && !isPerformingVisit_ && scene_->characterHitFrame().contains(at) && window_) {
    const ScreenInfo screen = targetScreen();
    const MascotPlacement saved = savedPlacement(screen);
    moving_ = Moving{pointerLocation_(), saved, screen, saved};
    settleWork_->cancel();
    redrawWork_->cancel();
    scene_->setCalm(true);
    if (driver_) driver_->setPaused(false);
    ignoresMouseEvents_ = false;
    QGuiApplication::setOverrideCursor(Qt::ClosedHandCursor);
    refreshLiveRects();
    return;
  }
  if (scene_->containsInteractivePoint(at)) {
    if (const std::optional<QuickAction> action = scene_->quickAction(at)) {
      if (pillGuard_->isPending()) {
        Log::presentation().debug("click on a pill that has just appeared, ignored");
        return;
      }
      Log::presentation().info("quick action: %{public}s", std::string(rawValue(*action)));
      if (onQuickAction) onQuickAction(*action);
    } else if (isPerformingVisit_) {
      endVisitEarly();
    } else {
      dragOrigin_ = at;
      settleWork_->cancel();
      setAnimating(true);
      scene_->beginDrag();
      QGuiApplication::setOverrideCursor(Qt::ClosedHandCursor);
    }
    return;
  }
  Log::presentation().debug("click outside the character, resigning interactivity");
  resignInteractivity();
}

void MascotWindowController::mouseDragged(QPointF to) {
  if (moving_ && window_) {
    // The window moves under the pointer, so the pointer's own desktop position counts.
    const QPoint pointer = pointerLocation_();
    const QRect visible = moving_->screen.availableGeometry;
    moving_->current = moving_->initial.moved(
        pointer.x() - moving_->origin.x(), moving_->origin.y() - pointer.y(), visible.width(),
        visible.height(), autoHiddenMenuBarInset(moving_->screen));
    ensureScene();
    refreshLiveRects();
    return;
  }
  if (dragOrigin_ && scene_) {
    if (driver_) driver_->setPaused(false);
    scene_->updateDrag(to.y() - dragOrigin_->y());
  }
}

void MascotWindowController::mouseUp(QPointF at) {
  if (moving_) {
    endMove();
    return;
  }
  if (scene_ && dragOrigin_) endPull(at);
}

void MascotWindowController::finishMove() {
  const Moving move = *moving_;
  moving_.reset();
  QGuiApplication::restoreOverrideCursor();
  // Saved for the display the move started on, whatever the target is now. The column is
  // already there: the store's announcement finds nothing to move.
  preferencesStore_->modify(
      [&](Preferences& p) { p.mascotPlacements.insert_or_assign(move.screen.id, move.current); });
}

void MascotWindowController::endMove() {
  finishMove();
  ignoresMouseEvents_ = true;
  stir(0.2);
  refreshLiveRects();
  // The pills came along with the character; they stay while the pointer is still over the
  // mascot and go like after any hover once it is not.
  updateInteractivity(pointerLocation_());
  refreshCursorRects();
}

void MascotWindowController::endPull(QPointF at) {
  const QPointF origin = *dragOrigin_;
  dragOrigin_.reset();
  QGuiApplication::restoreOverrideCursor();
  const double distance = std::hypot(at.x() - origin.x(), at.y() - origin.y());
  const bool pulled = scene_->endDrag();
  isHovering_ = false;
  updateInteractivity(pointerLocation_());
  if (pulled || distance < clickSlop) {
    Log::presentation().info("pulled down, vorlaning");
    if (onPullDown) onPullDown();
  }
}

QMenu* MascotWindowController::menu(QPointF at) {
  if (!scene_ || !scene_->containsInteractivePoint(at)) return nullptr;
  auto* menu = new QMenu;
  QAction* hint = menu->addAction(QString::fromUtf8(mascotMenuHint));
  hint->setEnabled(false);
  QPointer<MascotWindowController> self(this);
  menu->addAction(QStringLiteral("Move left"), [self] {
    if (self) self->setHorizontalPlacement(0.0);
  });
  menu->addAction(QStringLiteral("Move to center"), [self] {
    if (self) self->setHorizontalPlacement(0.5);
  });
  menu->addAction(QStringLiteral("Move right"), [self] {
    if (self) self->setHorizontalPlacement(1.0);
  });
  menu->addAction(QStringLiteral("Reset position"), [self] {
    if (self) self->resetPlacement();
  });
  if (trayAvailable_()) {
    menu->addAction(QStringLiteral("Make mascot click-through"), [self] {
      // Applied with the presence on the store's announcement.
      if (!self) return;
      self->preferencesStore_->modify([](Preferences& p) { p.mascotClickThrough = true; });
    });
  } else if (fillStatusMenu) {
    // No tray: the status menu lives here, so the user always has a way back.
    menu->addSeparator();
    fillStatusMenu(*menu);
  }
  return menu;
}

}  // namespace vorlane
