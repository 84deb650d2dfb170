#pragma once

#include "ui/mascot/character/character_node.h"

namespace vorlane {

// The one place that decides which figure hangs from the rope. The caller owns the node
// (a scene takes it over). It is the monkey; the placeholder serves the scene's tests.
CharacterNode* makeMascotCharacter();

}  // namespace vorlane
