// The overlays the mascot owns beside its window: the celebration over the whole display
// and the floating clock.

#include "ui/mascot/controller/mascot_window_controller.h"

namespace vorlane {

void MascotWindowController::attachOverlays(Overlays overlays) {
  if (overlays.celebration) {
    if (celebration_) celebration_->dismiss();
    celebration_ = std::move(overlays.celebration);
  }
  if (overlays.makeFloatingClock) {
    if (floatingClock_) floatingClock_->hide();
    floatingClock_.reset();
    makeFloatingClock_ = std::move(overlays.makeFloatingClock);
  }
  configureClock();
}

void MascotWindowController::splash() {
  if (!preferences().celebrateSessions) return;
  if (!window_ || !scene_) return;
  if (!celebration_) {
    celebration_ = std::make_unique<CelebrationPresenter>(*random_, prefersReducedMotion_);
  }
  // The character's place in the scene (y up from the window's bottom) on the desktop.
  const QRect frame = window_->geometry();
  const QPointF at = scene_->characterPosition();
  const QPointF origin(frame.x() + at.x(), frame.y() + frame.height() - at.y());
  const MascotTheme theme = MascotTheme::current();
  celebration_->celebrate(targetScreen(), origin, {theme.celebrationGlow, theme.confetti});
}

void MascotWindowController::configureClock() {
  if (!preferences().showCurrentTime) {
    if (floatingClock_) floatingClock_->hide();
    return;
  }
  if (!floatingClock_) {
    if (!makeFloatingClock_) return;
    QPointer<MascotWindowController> self(this);
    // Only written: the presence applied on the store's announcement hides the clock.
    floatingClock_ = makeFloatingClock_([self] {
      if (self) self->preferencesStore_->modify([](Preferences& p) { p.showCurrentTime = false; });
    });
    if (!floatingClock_) return;
  }
  floatingClock_->show(targetScreen());
}

}  // namespace vorlane
