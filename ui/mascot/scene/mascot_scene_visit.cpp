// The visit choreography of MascotScene: down the rope, bubble and reaction, hold, away.

#include "ui/mascot/scene/mascot_scene.h"

namespace vorlane {

void MascotScene::perform(const Visit& visit, bool showBubble, std::function<void()> completion) {
  if (hasIdleFocusInvitation_) hideIdleFocusInvitation();
  character_->stopWaving();
  dragStartY_.reset();
  completion_ = std::move(completion);
  hidesCompletionForVisit_ = hasSessionCompletion_;
  sessionCompletion_->setHidden(true);
  ropeProgressLength_.reset();
  hideQuickActions();
  billboard_->hide();
  character_->holdSign(false);
  character_->setLively(true);
  character_->removeAction(presenceKey);
  character_->removeAction(visitKey);
  presenceState_ = PresenceState::visiting;
  character_->setAlpha(1);
  bubble_->setAlpha(0);
  character_->setPosition({ropeX(), std::min(character_->position().y(), offscreenY())});

  const Choreography& c = visit.choreography;
  const double rest = restY();
  const double back = returnY();
  character_->startClimbing(true);
  character_->run(
      Action::sequence({
          Action::group({Action::moveToY(rest - 14, c.descend), Action::scaleTo(1, c.descend)})
              .withTiming(TimingMode::easeIn),
          Action::moveToY(rest, 0.18).withTiming(TimingMode::easeOut),
          weakly([visit, showBubble](MascotScene& s) { s.performArrival(visit, showBubble); }),
          Action::wait(c.hold),
          weakly([](MascotScene& s) {
            s.bubble_->hide();
            s.character_->startClimbing(false);
          }),
          Action::group({Action::moveToY(back, c.ascend), Action::scaleTo(0.5, c.ascend)})
              .withTiming(TimingMode::easeIn),
          weakly([](MascotScene& s) { s.finishVisit(); }),
      }),
      visitKey);
}

void MascotScene::performArrival(const Visit& visit, bool showBubble) {
  character_->stopClimbing();
  character_->startIdling();
  if (showBubble && visit.showsBubble) {
    bubble_->show(QString::fromStdString(visit.bubbleText), bubbleAnchor(), maxBubbleWidth(),
                  visit.bubbleStyle);
  }
  switch (visit.choreography.celebration) {
    case Choreography::Celebration::none:
      character_->shout();
      break;
    case Choreography::Celebration::jumpAndShout:
      character_->jumpAndShout();
      break;
    case Choreography::Celebration::triumph:
      character_->celebrate();
      if (onCelebrate) onCelebrate();
      break;
  }
}

void MascotScene::finishVisit() {
  character_->stopClimbing();
  hidesCompletionForVisit_ = false;
  sessionCompletion_->setHidden(!hasSessionCompletion_);
  if (activeSession_) {
    const ActiveSession session = *activeSession_;
    character_->setAlpha(1);
    character_->setScale(0.72);
    const double y = sessionHandY(session.progress);
    character_->setPosition({ropeX(), y});
    presenceState_ = PresenceState::working;
    placeBillboard(y, session.time, session.caption);
    character_->holdSign(true);
    attachBillboardPost();
    billboard_->removeAllActions();
    billboard_->setAlpha(1);
    character_->setLively(!isCalm_);
    redrawRope();
    auto completion = std::move(completion_);
    completion_ = nullptr;
    if (completion) completion();  // last: it may tear the scene down or start a visit
    return;
  }
  if (presenceMode_ == PresenceMode::peek || hasSessionCompletion_) {
    character_->setAlpha(1);
    character_->setPosition({ropeX(), peekY()});
    character_->setScale(0.5);
    character_->startIdling();
    presenceState_ = PresenceState::peeking;
  } else {
    character_->setAlpha(0);
    rope_->setPath({});
    presenceState_ = PresenceState::away;
  }
  auto completion = std::move(completion_);
  completion_ = nullptr;
  if (hasSessionCompletion_) showQuickActions();
  if (completion) completion();
}

void MascotScene::endVisitEarly() {
  if (!character_->hasAction(visitKey)) return;
  character_->removeAction(visitKey);
  bubble_->hide();
  character_->startClimbing(false);
  character_->run(
      Action::sequence({Action::group({Action::moveToY(returnY(), 0.5), Action::scaleTo(0.5, 0.5)})
                            .withTiming(TimingMode::easeIn),
                        weakly([](MascotScene& s) { s.finishVisit(); })}),
      visitKey);
}

void MascotScene::abandonVisit() {
  if (presenceState_ != PresenceState::visiting) return;
  character_->removeAction(visitKey);
  bubble_->removeAllActions();
  bubble_->setAlpha(0);
  finishVisit();
}

std::optional<double> MascotScene::performIdleFidget(IdleFidget fidget) {
  const bool restingPose =
      presenceState_ == PresenceState::peeking || presenceState_ == PresenceState::working;
  if (!restingPose || isDragging() || hasIdleFocusInvitation_ || completionIsVisible()) {
    return std::nullopt;
  }
  if (presenceState_ == PresenceState::working && !fidget.keepsHandsOnSign()) return std::nullopt;
  return character_->fidget(fidget);
}

}  // namespace vorlane
