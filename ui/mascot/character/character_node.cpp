#include "ui/mascot/character/character_node.h"

namespace vorlane {

void CharacterNode::wave() {
  run(Action::sequence(
          {Action::rotateTo(-0.1, 0.2), Action::rotateTo(0.1, 0.3), Action::rotateTo(0, 0.2)}),
      attentionKey);
}

void CharacterNode::stopWaving() {
  if (!hasAction(attentionKey)) return;
  removeAction(attentionKey);
  setZRotation(0);
}

double CharacterNode::fidget(IdleFidget fidget) {
  if (fidget == IdleFidget::sway) return 0;
  wave();
  return 0.7;
}

void CharacterNode::setTintColor(std::optional<Rgba>) {}

}  // namespace vorlane
