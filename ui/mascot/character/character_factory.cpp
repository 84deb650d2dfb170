#include "ui/mascot/character/character_factory.h"

#include "ui/mascot/character/monkey_character_node.h"

namespace vorlane {

CharacterNode* makeMascotCharacter() { return new MonkeyCharacterNode; }

}  // namespace vorlane
