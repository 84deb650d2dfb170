#include "ui/mascot/character/placeholder_character_node.h"

namespace vorlane {

PlaceholderCharacterNode::PlaceholderCharacterNode()
    : content_(new Node),
      body_(new ShapeNode(ShapeNode::roundedRect(44, 62, 10))),
      head_(new ShapeNode(ShapeNode::circle(22))) {
  content_->setPosition({0, -92});
  addChild(content_);
  body_->setFillColor(brown);
  content_->addChild(body_);
  head_->setFillColor(orange);
  head_->setPosition({0, 46});
  content_->addChild(head_);
}

void PlaceholderCharacterNode::startClimbing(bool descending) {
  removeAction(motionKey);
  const double angle = descending ? 0.12 : 0.09;
  run(Action::repeatForever(
          Action::sequence({Action::rotateTo(angle, 0.18), Action::rotateTo(-angle, 0.18)})),
      motionKey);
}

void PlaceholderCharacterNode::stopClimbing() {
  removeAction(motionKey);
  run(Action::rotateTo(0, 0.15));
}

void PlaceholderCharacterNode::startIdling() {
  removeAction(motionKey);
  run(Action::repeatForever(
          Action::sequence({Action::rotateTo(0.05, 0.9), Action::rotateTo(-0.05, 0.9)})),
      motionKey);
}

void PlaceholderCharacterNode::shout() {
  head_->run(Action::sequence({Action::scaleTo(1.15, 0.12), Action::scaleTo(1.0, 0.12)}));
}

void PlaceholderCharacterNode::jumpAndShout() {
  shout();
  content_->run(Action::sequence({Action::moveBy(0, 26, 0.16), Action::moveBy(0, -26, 0.2)}));
}

void PlaceholderCharacterNode::setLively(bool lively) {
  if (lively) {
    startIdling();
    return;
  }
  removeAction(motionKey);
  setZRotation(0);
}

}  // namespace vorlane
