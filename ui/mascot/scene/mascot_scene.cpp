#include "ui/mascot/scene/mascot_scene.h"

#include <QPointer>
#include <cmath>

namespace vorlane {

MascotScene::MascotScene(QSizeF size, CharacterNode* character)
    : Scene(size),
      character_(character),
      characterLayer_(new Node),
      bannerLayer_(new Node),
      rope_(new ShapeNode),
      bubble_(new SpeechBubbleNode),
      billboard_(new BillboardNode),
      quickActions_(new Node),
      sessionCompletion_(new SessionCompletionNode) {
  rope_->setStrokeColor(theme_.rope);
  rope_->setLineWidth(4);
  rope_->setLineCap(Qt::RoundCap);
  addChild(rope_);
  addChild(characterLayer_);
  addChild(bannerLayer_);
  characterLayer_->addChild(character_);
  bannerLayer_->addChild(billboard_);
  bannerLayer_->addChild(bubble_);
  sessionCompletion_->setZPosition(5);
  sessionCompletion_->setHidden(true);
  bannerLayer_->addChild(sessionCompletion_);
  quickActions_->setZPosition(6);
  bannerLayer_->addChild(quickActions_);

  character_->setPosition({ropeX(), offscreenY()});
  character_->setAlpha(0);
  bubble_->setAlpha(0);
  quickActions_->setAlpha(0);
}

Action MascotScene::weakly(std::function<void(MascotScene&)> block) {
  QPointer<MascotScene> self(this);
  return Action::run([self, block = std::move(block)] {
    if (self && !self->isTornDown()) block(*self);
  });
}

double MascotScene::returnY() const {
  return presenceMode_ == PresenceMode::hidden && !hasSessionCompletion_ ? offscreenY() : peekY();
}

double MascotScene::sessionHandY(double progress) const {
  double t = 0;
  if (progress > 0) t = std::min(progress, 1.0);  // also maps not-a-number to 0
  return workingY() + t * (peekY() - workingY());
}

double MascotScene::maxBubbleWidth() const { return std::max(80.0, bubbleAnchor().x() - 12); }

bool MascotScene::completionIsVisible() const {
  return hasSessionCompletion_ && !sessionCompletion_->isHidden();
}

void MascotScene::setSessionCompletion(bool current) {
  hasSessionCompletion_ = current;
  sessionCompletion_->setHidden(!current || hidesCompletionForVisit_);
}

void MascotScene::enterPeek(bool animated) {
  if (presenceState_ == PresenceState::visiting || isDragging()) return;
  const PresenceState previous = presenceState_;
  presenceState_ = PresenceState::peeking;
  ropeProgressLength_.reset();
  billboard_->hide();
  bubble_->hide();
  character_->holdSign(false);
  character_->removeAction(presenceKey);
  character_->setAlpha(1);
  if (!animated) {
    character_->setPosition({ropeX(), peekY()});
    character_->setScale(0.5);
    character_->setLively(!isCalm_);
    return;
  }
  if (previous == PresenceState::away) {
    character_->setPosition({ropeX(), offscreenY()});
    character_->setScale(0.5);
  }
  character_->startClimbing(peekY() < character_->position().y());
  character_->run(Action::sequence({Action::group({Action::moveTo({ropeX(), peekY()}, 0.45),
                                                   Action::scaleTo(0.5, 0.45)})
                                        .withTiming(TimingMode::easeInEaseOut),
                                    weakly([](MascotScene& s) {
                                      s.character_->stopClimbing();
                                      s.character_->setLively(!s.isCalm_);
                                    })}),
                  presenceKey);
}

void MascotScene::leave(std::function<void()> completion) {
  presenceState_ = PresenceState::away;
  ropeProgressLength_.reset();
  billboard_->hide();
  bubble_->hide();
  hideQuickActions();
  character_->removeAction(presenceKey);
  character_->removeAction(visitKey);
  character_->startClimbing(false);
  character_->run(Action::sequence({Action::group({Action::moveTo({ropeX(), offscreenY()}, 0.5),
                                                   Action::scaleTo(0.5, 0.5)})
                                        .withTiming(TimingMode::easeIn),
                                    weakly([completion = std::move(completion)](MascotScene& s) {
                                      s.character_->stopClimbing();
                                      s.character_->setAlpha(0);
                                      s.rope_->setPath({});
                                      if (completion) completion();
                                    })}),
                  presenceKey);
}

void MascotScene::placeBillboard(double handY, const QString& time, const QString& caption) {
  billboard_->update(time, caption);
  billboard_->setPosition({ropeX() - 90 - 28, handY - 44});
}

void MascotScene::arrangeSessionPose(double progress, const QString& time, const QString& caption) {
  character_->removeAllActions();
  presenceState_ = PresenceState::working;
  character_->setAlpha(1);
  character_->setScale(0.72);
  const double y = sessionHandY(progress);
  character_->setPosition({ropeX(), y});
  placeBillboard(y, time, caption);
  character_->holdSign(true);
  attachBillboardPost();
  billboard_->removeAllActions();
  billboard_->setAlpha(1);
  redrawRope();
}

void MascotScene::relayoutPlacement() {
  if (isDragging() || presenceState_ == PresenceState::visiting) return;
  sessionCompletion_->setPosition({size().width() / 2, size().height() - characterTopInset_ - 220});
  if (activeSession_ && presenceState_ == PresenceState::working) {
    arrangeSessionPose(activeSession_->progress, activeSession_->time, activeSession_->caption);
  } else if (presenceState_ == PresenceState::peeking) {
    enterPeek(false);
  }
  redrawRope();
  if (quickActionsAreInteractive_) rebuildQuickActions();
}

void MascotScene::setCharacterTopInset(double inset) {
  if (inset == characterTopInset_) return;
  characterTopInset_ = inset;
  relayoutPlacement();
}

void MascotScene::didChangeSize(QSizeF) { relayoutPlacement(); }

void MascotScene::redrawRope() {
  if (character_->alpha() <= 0 && !ropeProgressLength_) {
    rope_->setPath({});
    return;
  }
  const QPointF start(ropeX(), size().height());
  const QPointF end = ropeProgressLength_ ? QPointF(ropeX(), size().height() - *ropeProgressLength_)
                                          : character_->position();
  if (!rope_->path().isEmpty() && lastRopeStart_ == start && lastRopeEnd_ == end) return;
  lastRopeStart_ = start;
  lastRopeEnd_ = end;
  QPainterPath line;
  line.moveTo(start);
  line.lineTo(end);
  rope_->setPath(line);
}

void MascotScene::attachBillboardPost() {
  Node* hand = character_->signHand();
  if (hand == nullptr || hand->parentItem() == nullptr) return;
  billboard_->setPostTarget(billboard_->mapFromItem(hand->parentItem(), hand->position()));
}

void MascotScene::frameUpdate() {
  redrawRope();
  if (billboard_->alpha() > 0.01) attachBillboardPost();
}

void MascotScene::didFinishUpdate() {
  if (onGeometryChanged) onGeometryChanged();
}

void MascotScene::setCalm(bool calm) {
  if (isCalm_ == calm) return;
  isCalm_ = calm;
  if (presenceState_ != PresenceState::visiting) character_->setLively(!calm);
}

void MascotScene::applyAppearance(const MascotAppearance& appearance) {
  const MascotAppearance s = appearance.sanitized();
  if (s == appearance_) return;
  appearance_ = s;
  characterLayer_->setAlpha(s.monkeyOpacity);
  bannerLayer_->setAlpha(s.bannerOpacity);
  rope_->setAlpha(s.ropeOpacity);
  rope_->setLineWidth(s.ropeWidth);
  character_->setTintColor(s.monkeyColor ? std::optional<Rgba>(toRgba(*s.monkeyColor))
                                         : std::nullopt);
  if (s.bannerOpacity <= 0.01) hideQuickActions();
  applyResolvedTheme();
  if (s.bannerOpacity > 0.01 && (completionIsVisible() || hasIdleFocusInvitation_)) {
    showQuickActions();
  }
}

void MascotScene::applyTheme(const MascotTheme& theme) {
  systemTheme_ = theme;
  applyResolvedTheme();
}

void MascotScene::applyResolvedTheme() {
  theme_ = systemTheme_.applying(appearance_);
  rope_->setStrokeColor(theme_.rope);
  bubble_->applyTheme(theme_);
  billboard_->applyTheme(theme_);
  sessionCompletion_->applyTheme(theme_);
  if (quickActions_->alpha() > 0.01) rebuildQuickActions();
}

}  // namespace vorlane
