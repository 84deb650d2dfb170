#include "core/contracts/visit.h"

#include "foundation/text.h"

namespace vorlane {

bool Visit::operator==(const Visit& other) const {
  return id == other.id && kind == other.kind && scheduledFor == other.scheduledFor &&
         sameCharacters(spokenPhrase, other.spokenPhrase) &&
         sameCharacters(bubbleText, other.bubbleText) && showsBubble == other.showsBubble &&
         bubbleStyle == other.bubbleStyle && choreography == other.choreography &&
         isClickable == other.isClickable;
}

}  // namespace vorlane
