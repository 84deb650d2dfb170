#include "ui/mascot/character_factory.h"

#include "ui/mascot/monkey_character_node.h"

namespace vorlane {

CharacterNode* makeMascotCharacter() { return new MonkeyCharacterNode; }

}  // namespace vorlane
