#pragma once

#include "ui/mascot/character_node.h"

namespace vorlane {

// The one place that decides which figure hangs from the rope. The caller owns the node
// (a scene takes it over). Until the monkey lands this is the placeholder figure.
CharacterNode* makeMascotCharacter();

}  // namespace vorlane
