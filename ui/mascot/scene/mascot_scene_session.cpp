// The session displays of MascotScene: the working pose with its sign, the finished-session
// panel and the idle focus invitation.

#include "ui/mascot/scene/mascot_scene.h"

namespace vorlane {

void MascotScene::showSession(std::optional<double> progress, std::optional<QString> time,
                              std::optional<QString> caption) {
  if (!progress) {
    activeSession_.reset();
    ropeProgressLength_.reset();
    billboard_->hide();
    character_->holdSign(false);
    if (presenceState_ == PresenceState::working) enterPeek(true);
    return;
  }
  const double p = *progress;
  if (hasIdleFocusInvitation_) hideIdleFocusInvitation();
  if (time) activeSession_ = ActiveSession{p, *time, caption.value_or(QString())};
  if (presenceState_ == PresenceState::visiting || isDragging()) return;

  const PresenceState previous = presenceState_;
  presenceState_ = PresenceState::working;
  ropeProgressLength_.reset();
  character_->setAlpha(1);
  const double y = sessionHandY(p);
  if (previous == PresenceState::working) {
    // The per-second updates move the character without a new motion.
    if (!character_->hasAction(presenceKey)) character_->setPosition({ropeX(), y});
  } else {
    character_->removeAction(presenceKey);
    character_->run(Action::group({Action::moveTo({ropeX(), y}, 0.6), Action::scaleTo(0.72, 0.6)})
                        .withTiming(TimingMode::easeInEaseOut),
                    presenceKey);
    character_->startIdling();
  }
  if (!time) return;
  placeBillboard(y, *time, caption.value_or(QString()));
  character_->holdSign(true);
  attachBillboardPost();
  billboard_->show();
}

void MascotScene::showCompletion(const std::optional<PomodoroSession::Completion>& completion,
                                 const QString& currentTime, const QString& elapsedText) {
  hasSessionCompletion_ = completion.has_value();
  if (!completion) {
    character_->stopWaving();
    sessionCompletion_->setEmphasized(false);
    sessionCompletion_->applyTheme(sessionCompletion_->theme());
    sessionCompletion_->setHidden(true);
    hideQuickActions();
    return;
  }
  activeSession_.reset();
  billboard_->removeAllActions();
  billboard_->setAlpha(0);
  character_->holdSign(false);
  sessionCompletion_->update(*completion, currentTime, elapsedText);
  const bool visiting = presenceState_ == PresenceState::visiting;
  sessionCompletion_->setHidden(visiting && hidesCompletionForVisit_);
  sessionCompletion_->setPosition(
      {size().width() * 0.5, size().height() - characterTopInset_ - 220});
  if (!visiting && !isCompletionReminderAnimating()) enterPeek(false);
  redrawRope();
  if (completionIsVisible()) showQuickActions();
}

bool MascotScene::showIdleFocusInvitation(int minutes) {
  if (presenceState_ != PresenceState::peeking || hasSessionCompletion_ || isDragging()) {
    return false;
  }
  hasIdleFocusInvitation_ = true;
  placeBillboard(character_->position().y(), QStringLiteral("Focus?"),
                 QStringLiteral("Start %1m").arg(minutes));
  character_->holdSign(true);
  attachBillboardPost();
  billboard_->removeAllActions();
  billboard_->setAlpha(1);
  showQuickActions();
  return true;
}

void MascotScene::hideIdleFocusInvitation() {
  hasIdleFocusInvitation_ = false;
  billboard_->removeAllActions();
  billboard_->setAlpha(0);
  character_->holdSign(false);
  hideQuickActions();
}

bool MascotScene::remindAboutCompletion(bool reduceMotion) {
  if (!hasSessionCompletion_ || sessionCompletion_->isHidden() || isDragging() ||
      presenceState_ == PresenceState::visiting) {
    return false;
  }
  sessionCompletion_->setEmphasized(true);
  sessionCompletion_->applyTheme(sessionCompletion_->theme());
  if (!reduceMotion) character_->wave();
  return true;
}

bool MascotScene::isCompletionReminderAnimating() const {
  return character_->hasAction(CharacterNode::attentionKey);
}

}  // namespace vorlane
