#include "ui/mascot/character_factory.h"

#include "ui/mascot/placeholder_character_node.h"

namespace vorlane {

CharacterNode* makeMascotCharacter() { return new PlaceholderCharacterNode; }

}  // namespace vorlane
