// The monkey's motions: climbing hand over hand, idling, shouting, jumping, celebrating,
// waving, the idle fidgets, calming down and holding the sign.

#include <QPointer>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "ui/mascot/character/monkey_character_node.h"

namespace vorlane {

namespace {

constexpr double pi = std::numbers::pi;

// A rotation of the node to an angle, eased at both ends.
Action rotate(double to, double duration) {
  return Action::rotateTo(to, duration).withTiming(TimingMode::easeInEaseOut);
}

// Up quickly, down a little slower, as if under gravity.
Action hop(double height, double duration) {
  return Action::sequence({
      Action::moveBy(0, height, 0.45 * duration).withTiming(TimingMode::easeOut),
      Action::moveBy(0, -height, 0.55 * duration).withTiming(TimingMode::easeIn),
  });
}

}  // namespace

Action MonkeyCharacterNode::weakly(std::function<void(MonkeyCharacterNode&)> block) {
  QPointer<MonkeyCharacterNode> self(this);
  return Action::run([self, block = std::move(block)] {
    if (self) block(*self);
  });
}

Action MonkeyCharacterNode::weaklyEachFrame(
    double duration, std::function<void(MonkeyCharacterNode&, double)> step) {
  QPointer<MonkeyCharacterNode> self(this);
  // The pose comes from the elapsed time alone, so a dropped frame never adds up.
  return Action::custom(duration, [self, step = std::move(step)](Node&, double elapsed) {
    if (self) step(*self, elapsed);
  });
}

void MonkeyCharacterNode::setArms(QPointF leftHand, QPointF rightHand) {
  setArm(leftArm_, leftShoulder, leftHand);
  setArm(rightArm_, rightShoulder, rightHand);
}

void MonkeyCharacterNode::showClimbStep(bool stepA) {
  if (stepA) {
    setArms(ropeGrip, lowerGrip);
    setArm(leftLeg_, leftHip, leftFootRest);
    setArm(rightLeg_, rightHip, {13, -24});
  } else {
    setArms(lowerGrip, ropeGrip);
    setArm(leftLeg_, leftHip, {-13, -24});
    setArm(rightLeg_, rightHip, rightFootRest);
  }
}

void MonkeyCharacterNode::swayTail(double period) {
  tail_->removeAction(tailKey);
  const double cycle = 2 * period;
  tail_->run(Action::repeatForever(weaklyEachFrame(cycle,
                                                   [cycle](MonkeyCharacterNode& m, double t) {
                                                     m.updateTail(7 * std::sin(2 * pi * t / cycle));
                                                   })),
             tailKey);
}

void MonkeyCharacterNode::stopFidgeting() {
  const bool wasFidgeting = hasAction(fidgetKey) || head_->hasAction(fidgetKey);
  removeAction(fidgetKey);
  head_->removeAction(fidgetKey);
  if (!wasFidgeting) return;
  // Only the head straightens; a cut-short swing keeps the body's angle.
  head_->setZRotation(0);
  restLegs();
  holdSign(isHoldingSign_);
}

void MonkeyCharacterNode::startClimbing(bool descending) {
  removeAction(idleKey);
  removeAction(climbKey);
  const double step = descending ? 0.26 : 0.32;
  // Each climb starts from step A, with its own alternation.
  auto nextIsStepA = std::make_shared<bool>(true);
  run(Action::repeatForever(Action::sequence({
          weakly([nextIsStepA](MonkeyCharacterNode& m) {
            m.showClimbStep(*nextIsStepA);
            *nextIsStepA = !*nextIsStepA;
          }),
          Action::wait(step),
      })),
      climbKey);
  run(Action::repeatForever(
          Action::sequence({Action::rotateTo(0.05, step), Action::rotateTo(-0.05, step)})),
      bobKey);
  swayTail(2 * step);
}

void MonkeyCharacterNode::stopClimbing() {
  removeAction(climbKey);
  removeAction(bobKey);
  run(Action::rotateTo(0, 0.15));
}

void MonkeyCharacterNode::startIdling() {
  removeAction(climbKey);
  removeAction(bobKey);
  if (isHoldingSign_) {
    setSignPose();
  } else {
    setHangingPose();
  }
  restLegs();
  run(Action::repeatForever(
          Action::sequence({Action::rotateTo(0.035, 1.1), Action::rotateTo(-0.035, 1.1)})
              .withTiming(TimingMode::easeInEaseOut)),
      idleKey);
  swayTail(1.1);
}

void MonkeyCharacterNode::shout() {
  mouth_->removeAllActions();
  mouth_->run(Action::sequence({Action::scaleYTo(1.6, 0.14), Action::scaleYTo(0.9, 0.16),
                                Action::scaleYTo(1.4, 0.12), Action::scaleYTo(0.35, 0.5)}));
  head_->removeAllActions();
  head_->run(Action::sequence({Action::scaleTo(1.08, 0.12), Action::scaleTo(1.0, 0.18)}));
}

void MonkeyCharacterNode::jumpAndShout() {
  shout();
  raiseRightArm();
  // A running sway keeps going during the jumps.
  const Action jump = Action::sequence({Action::moveBy(0, 26, 0.18), Action::moveBy(0, -26, 0.22)})
                          .withTiming(TimingMode::easeOut);
  content_->run(Action::sequence(
      {Action::repeat(jump, 2), weakly([](MonkeyCharacterNode& m) { m.startIdling(); })}));
}

void MonkeyCharacterNode::celebrate() {
  removeAction(idleKey);
  removeAction(settleKey);
  shout();
  raiseRightArm();
  run(Action::sequence({rotate(-0.42, 0.42), rotate(0.38, 0.62), rotate(-0.28, 0.58),
                        rotate(0.18, 0.5), rotate(0, 0.45)}),
      celebrateKey);
  content_->run(Action::sequence({
      Action::wait(0.42),
      hop(22, 0.34),
      Action::wait(0.3),
      weakly([](MonkeyCharacterNode& m) { m.shout(); }),
      hop(14, 0.3),
  }));
  tail_->removeAction(tailKey);
  tail_->run(Action::sequence({
                 weaklyEachFrame(2.6, [](MonkeyCharacterNode& m,
                                         double t) { m.updateTail(11 * std::sin(7 * t)); }),
                 weakly([](MonkeyCharacterNode& m) { m.updateTail(3); }),
             }),
             tailKey);
  // No idling afterwards: the scene decides what comes next; the arm stays up until then.
}

void MonkeyCharacterNode::wave() {
  stopWaving();
  run(Action::sequence({
          weaklyEachFrame(
              1.2,
              [](MonkeyCharacterNode& m, double t) {
                m.setArm(m.rightArm_, rightShoulder, {30 + 12 * std::sin(5 * pi * t), 78});
              }),
          weakly([](MonkeyCharacterNode& m) { m.holdSign(m.isHoldingSign_); }),
      }),
      attentionKey);
}

void MonkeyCharacterNode::stopWaving() {
  if (!hasAction(attentionKey)) return;
  removeAction(attentionKey);
  holdSign(isHoldingSign_);
}

double MonkeyCharacterNode::fidget(IdleFidget fidget) {
  stopFidgeting();
  switch (fidget.value()) {
    case IdleFidget::sway:
      return 0;  // the idle sway already is the fidget
    case IdleFidget::lookAround:
      head_->run(Action::sequence({rotate(0.22, 0.3), Action::wait(0.45), rotate(-0.2, 0.45),
                                   Action::wait(0.4), rotate(0, 0.3)}),
                 fidgetKey);
      return 1.9;
    case IdleFidget::scratchHead:
      run(Action::sequence({
              weaklyEachFrame(
                  1.3,
                  [](MonkeyCharacterNode& m, double t) {
                    m.setArm(m.rightArm_, rightShoulder, {20, 70 + 3 * std::sin(9 * pi * t)});
                  }),
              weakly([](MonkeyCharacterNode& m) { m.holdSign(m.isHoldingSign_); }),
          }),
          fidgetKey);
      head_->run(Action::sequence({rotate(-0.12, 0.2), Action::wait(0.9), rotate(0, 0.2)}),
                 fidgetKey);
      return 1.4;
    case IdleFidget::wave:
      wave();
      return 1.2;
    case IdleFidget::kick:
      run(Action::sequence({
              weaklyEachFrame(
                  1.2,
                  [](MonkeyCharacterNode& m, double t) {
                    const double s = std::sin(4 * pi * t);
                    m.setArm(m.leftLeg_, leftHip, {-17 - 7 * s, -20 + 8 * std::max(s, 0.0)});
                    m.setArm(m.rightLeg_, rightHip, {17 - 7 * s, -20 + 8 * std::max(-s, 0.0)});
                  }),
              weakly([](MonkeyCharacterNode& m) { m.restLegs(); }),
          }),
          fidgetKey);
      return 1.25;
    case IdleFidget::swing:
      removeAction(idleKey);
      run(Action::sequence({rotate(-0.18, 0.4), rotate(0.15, 0.55), rotate(-0.08, 0.45),
                            rotate(0, 0.35),
                            weakly([](MonkeyCharacterNode& m) { m.startIdling(); })}),
          fidgetKey);
      return 1.8;
  }
  return 0;
}

void MonkeyCharacterNode::setLively(bool lively) {
  if (lively) {
    removeAction(settleKey);
    startIdling();
    return;
  }
  stopWaving();
  stopFidgeting();
  for (const QString& key : {celebrateKey, idleKey, climbKey, bobKey}) removeAction(key);
  tail_->removeAction(tailKey);
  run(Action::rotateTo(0, 0.18), settleKey);
  updateTail(3);  // the still, slightly curled tail of the calm pose
}

void MonkeyCharacterNode::holdSign(bool holding) {
  isHoldingSign_ = holding;
  if (holding) {
    removeAction(climbKey);
    setSignPose();
  } else {
    setHangingPose();
  }
}

}  // namespace vorlane
