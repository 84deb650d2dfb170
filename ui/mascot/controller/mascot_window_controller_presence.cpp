// The mascot between visits: presence mode, idle fidgets, animation windows, and the
// building and tearing down of window, view and scene.

#include "platform/logging/log.h"
#include "ui/kit/desktop_texts.h"
#include "ui/mascot/character/character_factory.h"
#include "ui/mascot/controller/mascot_window_controller.h"
#include "ui/mascot/scene/scene_presentation.h"
#include "ui/mascot_window/column_geometry.h"

namespace vorlane {

PresenceMode MascotWindowController::presenceBetweenVisits() const {
  return trayAvailable_() ? preferences().presenceMode : PresenceMode::peek;
}

void MascotWindowController::applyPresenceMode() {
  dismissIdleFocusInvitation();
  configureClock();
  const Preferences p = preferences();
  const PresenceMode mode = presenceBetweenVisits();
  const bool lifted = mode != p.presenceMode;
  if (lifted != presenceLifted_) {
    if (lifted) {
      Log::presentation().info("no tray: the mascot stays on show between visits until one comes");
    } else if (trayAvailable_()) {
      Log::presentation().info("a tray is there: the mascot leaves between visits again");
    }
    presenceLifted_ = lifted;
  }
  appliedPresence_ = mode;
  const bool clickThrough = pointer_->refreshClickThrough();
  if (scene_) {
    scene_->applyAppearance(p.mascotAppearance);
    scene_->setInteractionsEnabled(!clickThrough);
  }
  if (clickThrough) {
    pointer_->cancelPointerGesture();
    pointer_->stopWatchingPointer();
  }
  pointer_->refreshLiveRects();

  if (completionOnShow() || hasActiveSession_) {
    // Whatever the mode, the mascot stays while either is on show.
    ensureScene().setPresenceMode(mode);
    pointer_->startWatchingPointer();
    redrawStaticScene();
    return;
  }

  if (mode == PresenceMode::hidden) {
    if (isPerformingVisit()) {
      // The visit ends away and the scene goes with it.
      if (scene_) scene_->setPresenceMode(PresenceMode::hidden);
      return;
    }
    pointer_->stopWatchingPointer();
    stopStretching();
    if (!scene_) return;
    scene_->setPresenceMode(PresenceMode::hidden);
    if (scene_->presenceState() == PresenceState::away) {
      // Asked again while climbing away: the climb's end takes the scene down.
      if (!scene_->character()->hasAction(MascotScene::presenceKey)) teardownScene();
      return;
    }
    setAnimating(true);
    QPointer<MascotWindowController> self(this);
    scene_->leave([self] {
      if (self) self->teardownScene();
    });
    return;
  }

  if (scene_ && scene_->presenceState() == PresenceState::peeking) {
    ensureScene();  // layout only: no second climb, no second timer
    pointer_->startWatchingPointer();
    redrawStaticScene();
    return;
  }
  MascotScene& scene = ensureScene();
  scene.setPresenceMode(PresenceMode::peek);
  showWindow();
  setAnimating(true);
  scene.enterPeek(true);
  pointer_->startWatchingPointer();
  startStretching();
  stir(1.6);
}

void MascotWindowController::trayChanged() {
  // Applied as a change of the setting is. Before the first showing there is nothing to
  // change: that one reads the trays as they are then.
  if (pointer_->isClickThrough() != pointer_->effectiveClickThrough() ||
      (appliedPresence_ && *appliedPresence_ != presenceBetweenVisits())) {
    applyPresenceMode();
  }
}

void MascotWindowController::fidgetNow(std::optional<IdleFidget> fidget) {
  // Not under the pointer: the user is reaching for the mascot or its pills.
  if (sceneIsBusy() || !scene_) return;
  const IdleFidget choice =
      fidget
          ? *fidget
          : (prefersReducedMotion_()
                 ? IdleFidget(IdleFidget::sway)
                 : IdleFidget::pick(lastFidget_, scene_->presenceState() == PresenceState::working,
                                    *random_));
  stir(1.8);
  const std::optional<double> duration = scene_->performIdleFidget(choice);
  if (duration) {
    Log::presentation().debug("idle fidget started");
    lastFidget_ = choice;
    if (*duration + 0.3 > 1.8) stir(*duration + 0.3);
  }  // declined: the short window stands and the last fidget stays
  // A fidget moves a few points of a small figure: half the frame rate shows it as smoothly,
  // at half the cost, and a quarter while it barely drifts. Anything else that stirs the
  // scene brings the full rate back.
  if (driver_) driver_->settleIdleMotion();
}

MascotScene& MascotWindowController::ensureScene() {
  // During a move the column follows the pointer on the move's display; nothing is saved.
  const MascotPointerInput::Moving* move = pointer_->moving();
  const ScreenInfo screen = move ? move->screen : targetScreen();
  const MascotPlacement placement = move ? move->current : savedPlacement(screen);
  const Preferences p = preferences();
  const bool clickThrough = pointer_->refreshClickThrough();
  if (!(window_ && view_ && scene_)) {
    buildScene(screen, placement);
    return *scene_;
  }
  const QRect frame = MascotWindow::frame(screen, placement);
  if (window_->geometry() != frame) {
    window_->reposition(screen, placement);
    if (scene_->size() != QSizeF(frame.size())) scene_->setSize(QSizeF(frame.size()));
  }
  scene_->setCharacterTopInset(characterTopInset(screen, placement));
  scene_->applyAppearance(p.mascotAppearance);
  // A tray may have come or gone since the last build.
  scene_->setInteractionsEnabled(!clickThrough);
  return *scene_;
}

void MascotWindowController::buildScene(const ScreenInfo& screen,
                                        const MascotPlacement& placement) {
  // Leftovers of a half-built or half-torn state would be a second window on screen.
  if (window_ || view_ || scene_) teardownScene();
  const Preferences p = preferences();
  auto* window = new MascotWindow(screen, placement);
  auto* scene = new MascotScene(QSizeF(window->size()), makeMascotCharacter());
  scene->setPresenceMode(presenceBetweenVisits());
  scene->setWorkMinutes(static_cast<int>(p.workMinutes));
  scene->applyTheme(MascotTheme::current());
  scene->setCharacterTopInset(characterTopInset(screen, placement));
  scene->applyAppearance(p.mascotAppearance);
  scene->setInteractionsEnabled(!pointer_->isClickThrough());
  QPointer<MascotWindowController> self(this);
  scene->onGeometryChanged = [self] {
    if (self) self->pointer_->refreshLiveRects();
  };
  scene->onCelebrate = [self] {
    if (self) self->splash();
  };
  scene->onQuickActionsRebuilt = [self] {
    if (self) self->pointer_->quickActionsRebuilt();
  };
  auto* view = new MascotView(scene);
  view->setInput(pointer_.get());
  view->setToolTip(QString::fromUtf8(mascotToolTip));
  view->onPointerActivity = [self] {
    if (self) self->pointer_->updateInteractivity(self->pointerLocation_());
  };
  window->setContentWidget(view);
  // The window hears of the scene's changes only while its frames cannot tell it what they
  // show: a listener to them makes the view repaint the whole column each frame.
  window->setContentChangeListener([window, scene = QPointer<MascotScene>(scene)](bool listen) {
    if (!scene) return;
    if (listen) {
      connect(scene, &QGraphicsScene::changed, window, &MascotWindow::contentChanged,
              Qt::UniqueConnection);
    } else {
      disconnect(scene, &QGraphicsScene::changed, window, &MascotWindow::contentChanged);
    }
  });
  presentSceneThroughWindow(*window, *view, *scene);
  // A child of its scene: it goes with it, also when the scene ends inside one of its frames.
  auto* driver = new FrameDriver(scene, scene);
  driver->setPaused(true);
  window_ = window;
  view_ = view;
  scene_ = scene;
  driver_ = driver;
  pointer_->forgetLiveRects();
  // Once the program has started, not on its way: the schedule is anchored at the start,
  // and a font list read on a busy machine can take a second.
  fontWork_->schedule(0, [self] {
    if (self && self->scene_) self->scene_->bubble()->loadFonts();
  });
}

void MascotWindowController::teardownScene() {
  pointer_->cancelPointerGesture();
  dismissIdleFocusInvitation();
  pointer_->stopWatchingPointer();
  stopStretching();
  if (celebration_) celebration_->dismiss();
  redrawWork_->cancel();
  if (driver_) driver_->setPaused(true);
  if (view_) {
    view_->setScene(nullptr);
    view_->setInput(nullptr);
  }
  if (window_) {
    window_->hide();
    // It may be deep in its own scene's frame: everything goes once control returns.
    window_->deleteLater();
  }
  if (scene_) scene_->tearDown();
  window_ = nullptr;
  view_ = nullptr;
  scene_ = nullptr;
  driver_ = nullptr;
  pointer_->forgetScene();
  displayedCompletion_.reset();
  displayedCompletionTime_.clear();
  displayedCompletionElapsed_.clear();
  completionUsesReducedMotion_ = false;
}

void MascotWindowController::setAnimating(bool animating) {
  // A redraw burst ending later must not stop what runs now (the climb away has no window).
  if (animating) redrawWork_->cancel();
  if (scene_) scene_->setCalm(!animating);
  if (driver_) {
    if (animating) driver_->setInterval(FrameDriver::fullRateInterval);
    driver_->setPaused(!animating);
  }
  if (!animating) pointer_->refreshLiveRects();
}

void MascotWindowController::keepAnimating() {
  settleWork_->cancel();
  setAnimating(true);
}

void MascotWindowController::holdStillForMove() {
  settleWork_->cancel();
  redrawWork_->cancel();
  if (scene_) scene_->setCalm(true);
  if (driver_) driver_->setPaused(false);
}

bool MascotWindowController::sceneIsBusy() const {
  // Hovering and moving keep the view running: the pills fade and greet, the column moves.
  return isPerformingVisit() || pointer_->isHovering() || pointer_->isMoving() ||
         (scene_ && scene_->isDragging());
}

void MascotWindowController::stir(double duration) {
  settleWork_->cancel();
  setAnimating(true);
  QPointer<MascotWindowController> self(this);
  settleWork_->schedule(duration, [self] {
    if (self && !self->sceneIsBusy()) self->setAnimating(false);
  });
}

void MascotWindowController::redrawStaticScene() {
  if (sceneIsBusy() || settleWork_->isPending()) {
    // The running view shows it; one frame brings the rope and the live areas along.
    if (driver_) driver_->start();
    return;
  }
  redrawWork_->cancel();
  if (scene_) scene_->setCalm(true);
  if (driver_) driver_->setPaused(false);
  QPointer<MascotWindowController> self(this);
  redrawWork_->schedule(0.08, [self] {
    if (self && !self->sceneIsBusy() && !self->settleWork_->isPending()) {
      self->setAnimating(false);
    }
  });
}

void MascotWindowController::scheduleNextFidget() {
  QPointer<MascotWindowController> self(this);
  fidgetTimer_->schedule(IdleFidget::nextDelay(*random_), [self] {
    if (!self) return;
    self->fidgetNow(std::nullopt);
    self->scheduleNextFidget();  // also after a fidget that did nothing
  });
}

void MascotWindowController::startStretching() {
  if (!fidgetTimer_->isPending()) scheduleNextFidget();
}

void MascotWindowController::stopStretching() {
  fidgetTimer_->cancel();
  settleWork_->cancel();
}

}  // namespace vorlane
