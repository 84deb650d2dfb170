#include "core/contracts/choreography.h"

#include "foundation/text.h"

namespace vorlane {

Choreography Choreography::reading(std::string_view text) {
  const double standardHold = standard().hold;
  const double raw = static_cast<double>(graphemeCount(text)) * 0.065 + 1.5;
  double hold = raw >= standardHold ? raw : standardHold;
  if (hold > 9.0) hold = 9.0;
  return {1.6, hold, 1.6, Celebration::none};
}

}  // namespace vorlane
