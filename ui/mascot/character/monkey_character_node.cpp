// The monkey's build, palette and tint, and the routines that bend its limbs and tail.

#include "ui/mascot/character/monkey_character_node.h"

#include <QPainterPathStroker>

namespace vorlane {

namespace {

QPainterPath ellipse(double width, double height) {
  QPainterPath path;
  path.addEllipse(QPointF(0, 0), width / 2, height / 2);
  return path;
}

QPainterPath ellipseIn(const QRectF& rect) {
  QPainterPath path;
  path.addEllipse(rect);
  return path;
}

ShapeNode* filled(ShapeNode* shape, const Rgba& color) {
  shape->setFillColor(color);
  shape->setStrokeColor(std::nullopt);
  return shape;
}

}  // namespace

MonkeyCharacterNode::MonkeyCharacterNode()
    : content_(new Node),
      torso_(new ShapeNode),
      head_(new Node),
      headShape_(new ShapeNode(ShapeNode::circle(21))),
      muzzle_(new ShapeNode(ellipse(26, 19))),
      mouth_(new ShapeNode),
      leftEye_(new ShapeNode(ShapeNode::circle(3))),
      rightEye_(new ShapeNode(ShapeNode::circle(3))),
      leftEar_(new ShapeNode(ShapeNode::circle(8))),
      rightEar_(new ShapeNode(ShapeNode::circle(8))),
      leftArm_(new ShapeNode),
      rightArm_(new ShapeNode),
      leftLeg_(new ShapeNode),
      rightLeg_(new ShapeNode),
      tail_(new ShapeNode) {
  // Added in draw order: later parts draw over earlier ones.
  buildTail();
  buildLegs();
  buildTorso();
  buildArms();
  buildHead();
  content_->setPosition({0, -92});
  addChild(content_);
  startIdling();
}

Rgba MonkeyCharacterNode::defaultFurColor() { return Palette::fur; }

void MonkeyCharacterNode::buildTail() {
  tail_->setStrokeColor(Palette::furDark);
  tail_->setLineWidth(6);
  tail_->setLineCap(Qt::RoundCap);
  tail_->setLineJoin(Qt::RoundJoin);
  tail_->setFillColor(std::nullopt);
  updateTail(0);
  content_->addChild(tail_);
}

void MonkeyCharacterNode::buildLegs() {
  for (ShapeNode* leg : {leftLeg_, rightLeg_}) content_->addChild(filled(leg, Palette::furDark));
  restLegs();
}

void MonkeyCharacterNode::buildTorso() {
  // The ellipse in the rectangle from (-19, -6), 38 by 54: centred at (0, 21).
  torso_->setPath(ellipseIn(QRectF(-19, -6, 38, 54)));
  filled(torso_, Palette::fur);
  auto* tummy =
      filled(new ShapeNode(ellipse(24, 34)), Palette::face.withAlpha(Palette::tummyAlpha));
  tummy->setPosition({0, 16});
  torso_->addChild(tummy);
  content_->addChild(torso_);
}

void MonkeyCharacterNode::buildArms() {
  for (ShapeNode* arm : {leftArm_, rightArm_}) {
    content_->addChild(filled(arm, Palette::furDark));
    auto* hand = filled(new ShapeNode(ShapeNode::circle(6)), Palette::face);
    hand->setName(handName);
    arm->addChild(hand);
  }
  setArm(leftArm_, leftShoulder, ropeGrip);
  setArm(rightArm_, rightShoulder, lowerGrip);
}

void MonkeyCharacterNode::buildHead() {
  filled(headShape_, Palette::fur);
  for (auto [ear, x] : {std::pair{leftEar_, -19.0}, std::pair{rightEar_, 19.0}}) {
    filled(ear, Palette::fur);
    ear->setPosition({x, 4});
    ear->addChild(filled(new ShapeNode(ShapeNode::circle(4.5)), Palette::face));
    head_->addChild(ear);
  }
  // After the ears, so they peek out from behind it.
  head_->addChild(headShape_);
  filled(muzzle_, Palette::face);
  muzzle_->setPosition({0, -7});
  head_->addChild(muzzle_);
  mouth_->setPath(ellipseIn(QRectF(-5, -3, 10, 6)));
  filled(mouth_, Palette::mouth);
  mouth_->setPosition({0, -10});
  mouth_->setYScale(0.35);  // a thin line at rest; shouting stretches it
  head_->addChild(mouth_);
  for (auto [eye, x] : {std::pair{leftEye_, -7.0}, std::pair{rightEye_, 7.0}}) {
    filled(eye, Palette::eye);
    eye->setPosition({x, 6});
    head_->addChild(eye);
  }
  head_->setPosition({0, 56});
  content_->addChild(head_);
}

void MonkeyCharacterNode::setArm(ShapeNode* limb, QPointF from, QPointF to) {
  QPainterPath line(from);
  line.lineTo(to);
  QPainterPathStroker stroker;
  stroker.setWidth(9);
  stroker.setCapStyle(Qt::RoundCap);
  stroker.setJoinStyle(Qt::RoundJoin);
  stroker.setMiterLimit(1);
  // The outline keeps the stroker's winding fill, or its overlaps would show as holes.
  limb->setPath(stroker.createStroke(line));
  if (Node* hand = limb->childNode(handName)) hand->setPosition(to);
  if (limb == leftArm_) leftArmEnd_ = to;
  if (limb == rightArm_) rightArmEnd_ = to;
  if (limb == leftLeg_) leftLegEnd_ = to;
  if (limb == rightLeg_) rightLegEnd_ = to;
}

void MonkeyCharacterNode::updateTail(double curve) {
  tailCurve_ = curve;
  QPainterPath path(QPointF(10, 2));
  path.cubicTo(QPointF(30, -12), QPointF(42 + curve, 8), QPointF(30 + curve, 34));
  tail_->setPath(path);
}

void MonkeyCharacterNode::restLegs() {
  setArm(leftLeg_, leftHip, leftFootRest);
  setArm(rightLeg_, rightHip, rightFootRest);
}

QPointF MonkeyCharacterNode::limbEnd(const ShapeNode* limb) const {
  if (limb == leftArm_) return leftArmEnd_;
  if (limb == rightArm_) return rightArmEnd_;
  if (limb == leftLeg_) return leftLegEnd_;
  if (limb == rightLeg_) return rightLegEnd_;
  return {};
}

void MonkeyCharacterNode::setTintColor(std::optional<Rgba> color) {
  const Rgba body = color.value_or(Palette::fur);
  // A darker shade of the tint, not the tint itself, for limbs and tail.
  const Rgba dark = color ? color->blended(0.24, Rgba{0, 0, 0, 1}) : Palette::furDark;
  for (ShapeNode* part : {torso_, headShape_, leftEar_, rightEar_}) part->setFillColor(body);
  for (ShapeNode* limb : {leftArm_, rightArm_, leftLeg_, rightLeg_}) limb->setFillColor(dark);
  tail_->setStrokeColor(dark);
}

Node* MonkeyCharacterNode::signHand() {
  Node* hand = leftArm_->childNode(handName);
  return hand != nullptr ? hand : leftArm_;
}

}  // namespace vorlane
