// Where MascotScene takes the pointer, and the pull that drags the resting mascot down its
// rope to ask for a visit.

#include "ui/mascot/scene/mascot_scene.h"

namespace vorlane {

namespace {

constexpr double fullSizePull = 112;
constexpr double visitPull = 70;
constexpr double pullFloorBelowRest = 40;

}  // namespace

Rect MascotScene::characterFrame() const {
  return Rect::from(character_->accumulatedFrame()).grownBy(6);
}

Rect MascotScene::characterHitFrame() const {
  const bool grabbable = interactionsEnabled_ && appearance_.monkeyOpacity > 0.01 &&
                         character_->alpha() > 0.01 && presenceState_ != PresenceState::away;
  return grabbable ? characterFrame().grownBy(4) : Rect{};
}

std::vector<Rect> MascotScene::quickActionFrames() const {
  std::vector<Rect> frames;
  if (!interactionsEnabled_ || appearance_.bannerOpacity <= 0.01 || !quickActionsAreInteractive_) {
    return frames;
  }
  for (const QuickActionNode* pill : actionNodes_) frames.push_back(Rect::from(pill->frame()));
  return frames;
}

Rect MascotScene::interactiveFrame() const {
  Rect all = Rect::null();
  const Rect character = characterHitFrame();
  if (!character.isEmpty()) all = all.united(character);
  for (const Rect& pill : quickActionFrames()) {
    if (!pill.isEmpty()) all = all.united(pill);
  }
  return all;
}

bool MascotScene::containsInteractivePoint(QPointF point) const {
  if (characterHitFrame().contains(point)) return true;
  for (const Rect& pill : quickActionFrames()) {
    if (pill.contains(point)) return true;
  }
  return false;
}

void MascotScene::beginDrag() {
  if (hasIdleFocusInvitation_) hideIdleFocusInvitation();
  character_->stopWaving();
  if (presenceState_ != PresenceState::peeking && presenceState_ != PresenceState::working) return;
  character_->removeAction(presenceKey);
  hideQuickActions();
  dragStartY_ = character_->position().y();
  dragStartScale_ = character_->xScale();
}

void MascotScene::updateDrag(double translationY) {
  if (!dragStartY_) return;
  const double start = *dragStartY_;
  const double y = std::max(start + std::min(translationY, 0.0), restY() - pullFloorBelowRest);
  character_->setPosition({ropeX(), y});
  const double progress = std::min((start - y) / fullSizePull, 1.0);
  character_->setScale(dragStartScale_ + progress * (1 - dragStartScale_));
  character_->startClimbing(true);
}

bool MascotScene::endDrag() {
  if (!dragStartY_) return false;
  const double start = *dragStartY_;
  dragStartY_.reset();
  const double pulled = start - character_->position().y();
  character_->stopClimbing();
  if (pulled >= visitPull) return true;
  character_->run(Action::sequence({Action::group({Action::moveTo({ropeX(), start}, 0.35),
                                                   Action::scaleTo(dragStartScale_, 0.35)})
                                        .withTiming(TimingMode::easeOut),
                                    weakly([](MascotScene& s) { s.character_->startIdling(); })}),
                  presenceKey);
  return false;
}

void MascotScene::cancelDrag() {
  if (!dragStartY_) return;
  const double start = *dragStartY_;
  dragStartY_.reset();
  character_->stopClimbing();
  character_->setPosition({character_->position().x(), start});
  character_->setScale(dragStartScale_);
  redrawRope();
}

}  // namespace vorlane
