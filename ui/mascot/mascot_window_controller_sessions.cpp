// The presenter's session displays: the working pose with its sign, the finished-session
// panel and its reminders, the idle focus invitation, and the pills' context.

#include "ui/mascot/mascot_window_controller.h"

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
    if (isPerformingVisit_) return;
    if (preferences().presenceMode == PresenceMode::hidden && !hasDisplayedCompletion_) {
      teardownScene();
      return;
    }
    stir(0.6);
    return;
  }
  const bool wasActive = hasActiveSession_;
  hasActiveSession_ = true;
  if (isPerformingVisit_) {
    if (scene_) scene_->showSession(progress, toQString(time), toQString(caption));
    return;
  }
  MascotScene& scene = ensureScene();
  scene.setPresenceMode(preferences().presenceMode);
  if (window_ && !window_->isVisible()) showWindow();
  scene.showSession(progress, toQString(time), toQString(caption));
  if (wasActive) {
    if (!scene.isDragging() && !isHovering_ && !settleWork_->isPending()) redrawStaticScene();
  } else {
    stir(0.8);
  }
  startWatchingPointer();
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
  hasDisplayedCompletion_ = completion.has_value();

  if (!completion) {
    if (scene_) {
      scene_->showCompletion(std::nullopt, QString(), QStringLiteral("Finished just now"));
    }
    if (!isPerformingVisit_) stir(0.2);
    refreshLiveRects();
    return;
  }
  hasActiveSession_ = false;
  MascotScene& scene = ensureScene();
  scene.setPresenceMode(preferences().presenceMode);
  scene.showCompletion(completion, QString::fromStdString(currentTime),
                       QString::fromStdString(elapsedText));
  showWindow();
  startWatchingPointer();
  if (reduceMotion && !isPerformingVisit_) {
    stopStretching();
    scene.setCalm(true);
    redrawStaticScene();
    refreshCursorRects();
    return;
  }
  if (scene.isCompletionReminderAnimating()) return;
  stopStretching();
  if (isPerformingVisit_) {
    setAnimating(true);
  } else {
    stir(0.2);
  }
  refreshCursorRects();
}

bool MascotWindowController::remindAboutCompletion(bool reduceMotion) {
  if (!hasDisplayedCompletion_) return false;
  if (isPerformingVisit_ || moving_ || !scene_ || scene_->isDragging()) return false;
  if (reduceMotion) {
    if (!scene_->remindAboutCompletion(true)) return false;
    redrawStaticScene();
    return true;
  }
  stir(1.5);
  return scene_->remindAboutCompletion(false);
}

bool MascotWindowController::offerFocusInvitation(int minutes, bool reduceMotion) {
  if (isPerformingVisit_ || hasActiveSession_ || hasDisplayedCompletion_) return false;
  if (isHovering_ || moving_ || !scene_) return false;
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
  refreshCursorRects();
  return true;
}

void MascotWindowController::dismissIdleFocusInvitation() {
  invitationWork_->cancel();
  if (!scene_ || !scene_->hasIdleFocusInvitation()) return;
  scene_->hideIdleFocusInvitation();
  refreshCursorRects();
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
  if (isHovering_ || hasDisplayedCompletion_) {
    scene_->showQuickActions();
    refreshLiveRects();
  }
}

}  // namespace vorlane
