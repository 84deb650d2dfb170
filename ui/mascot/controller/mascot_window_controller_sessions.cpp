// The presenter's session displays: the working pose with its sign, the finished-session
// panel and its reminders, the idle focus invitation, and the pills' context.

#include "ui/mascot/controller/mascot_window_controller.h"

namespace vorlane {

namespace {

std::optional<QString> toQString(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  return QString::fromStdString(*text);
}

}  // namespace

void MascotWindowController::showSession(std::optional<double> progress,
                                         std::optional<std::string> time,
                                         std::optional<std::string> caption) {
  if (!progress) {
    hasActiveSession_ = false;
    if (scene_) scene_->showSession(std::nullopt, std::nullopt, std::nullopt);
    if (isPerformingVisit()) return;
    if (presenceBetweenVisits() == PresenceMode::hidden && !completionOnShow()) {
      teardownScene();
      return;
    }
    stir(0.6);
    return;
  }
  const bool wasActive = hasActiveSession_;
  hasActiveSession_ = true;
  if (isPerformingVisit()) {
    if (scene_) scene_->showSession(progress, toQString(time), toQString(caption));
    return;
  }
  MascotScene& scene = ensureScene();
  scene.setPresenceMode(presenceBetweenVisits());
  if (window_ && !window_->isVisible()) showWindow();
  scene.showSession(progress, toQString(time), toQString(caption));
  if (wasActive) {
    if (!scene.isDragging() && !pointer_->isHovering() && !settleWork_->isPending()) {
      redrawStaticScene();
    }
  } else {
    stir(0.8);
  }
  pointer_->startWatchingPointer();
  startStretching();
}

void MascotWindowController::showCompletion(
    const std::optional<PomodoroSession::Completion>& completion, const std::string& currentTime,
    const std::string& elapsedText, bool reduceMotion) {
  if (completion == displayedCompletion_ && currentTime == displayedCompletionTime_ &&
      elapsedText == displayedCompletionElapsed_ && reduceMotion == completionUsesReducedMotion_) {
    return;
  }
  displayedCompletion_ = completion;
  displayedCompletionTime_ = currentTime;
  displayedCompletionElapsed_ = elapsedText;
  completionUsesReducedMotion_ = reduceMotion;

  if (!completion) {
    if (scene_) {
      scene_->showCompletion(std::nullopt, QString(), QStringLiteral("Finished just now"));
    }
    if (!isPerformingVisit()) stir(0.2);
    pointer_->refreshLiveRects();
    return;
  }
  hasActiveSession_ = false;
  MascotScene& scene = ensureScene();
  scene.setPresenceMode(presenceBetweenVisits());
  scene.showCompletion(completion, QString::fromStdString(currentTime),
                       QString::fromStdString(elapsedText));
  showWindow();
  pointer_->startWatchingPointer();
  if (reduceMotion && !isPerformingVisit()) {
    stopStretching();
    scene.setCalm(true);
    redrawStaticScene();
    pointer_->refreshCursorRects();
    return;
  }
  if (scene.isCompletionReminderAnimating()) return;
  stopStretching();
  if (isPerformingVisit()) {
    setAnimating(true);
  } else {
    stir(0.2);
  }
  pointer_->refreshCursorRects();
}

bool MascotWindowController::remindAboutCompletion(bool reduceMotion) {
  if (!completionOnShow()) return false;
  if (isPerformingVisit() || pointer_->isMoving() || !scene_ || scene_->isDragging()) return false;
  if (reduceMotion) {
    if (!scene_->remindAboutCompletion(true)) return false;
    redrawStaticScene();
    return true;
  }
  stir(1.5);
  return scene_->remindAboutCompletion(false);
}

bool MascotWindowController::offerFocusInvitation(int minutes, bool reduceMotion) {
  if (isPerformingVisit() || hasActiveSession_ || completionOnShow()) return false;
  if (pointer_->isHovering() || pointer_->isMoving() || !scene_) return false;
  if (!scene_->showIdleFocusInvitation(minutes)) return false;
  invitationWork_->cancel();
  if (reduceMotion) {
    redrawStaticScene();
  } else {
    stir(0.6);
  }
  QPointer<MascotWindowController> self(this);
  invitationWork_->schedule(6.0, [self] {
    if (self) self->dismissIdleFocusInvitation();
  });
  pointer_->refreshCursorRects();
  return true;
}

void MascotWindowController::dismissIdleFocusInvitation() {
  invitationWork_->cancel();
  if (!scene_ || !scene_->hasIdleFocusInvitation()) return;
  scene_->hideIdleFocusInvitation();
  pointer_->refreshCursorRects();
  redrawStaticScene();
}

void MascotWindowController::updateContext(int workMinutes, bool isMuted,
                                           const std::vector<QuickAction>& actions) {
  // Not remembered without a scene: a new scene starts from its own defaults.
  if (!scene_) return;
  const int previousMinutes = scene_->workMinutes();
  scene_->setWorkMinutes(workMinutes);
  scene_->setMuted(isMuted);
  if (scene_->actions() == actions && previousMinutes == workMinutes) return;
  scene_->setActions(actions);
  if (pointer_->isHovering() || completionOnShow()) {
    scene_->showQuickActions();
    pointer_->refreshLiveRects();
  }
}

}  // namespace vorlane
