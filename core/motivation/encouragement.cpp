#include "core/motivation/encouragement.h"

namespace vorlane {

std::string Encouragement::bubbleText() const {
  if (!attribution) return text;
  return "\u201C" + text + "\u201D\n\u2014 " + *attribution;
}

}  // namespace vorlane
