#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/motivation/encouragement.h"
#include "core/motivation/encouragement_context.h"
#include "foundation/random.h"

namespace vorlane {

// The fixed encouragements and the rule that picks one.
class EncouragementLibrary {
 public:
  EncouragementLibrary() = delete;

  // Fifteen quotations, then thirteen tips; built once and shared.
  static const std::vector<Encouragement>& all();

  // The id of the line about today's sessions, which `pick` builds and `all` does not hold.
  static constexpr std::string_view progressID = "progress-today";

  // One encouragement for the context, avoiding the ids in `excluding` while any other
  // candidate is left. After two completed sessions the progress line comes one time in
  // four (unless excluded); that chance costs a draw only when it is possible.
  static Encouragement pick(const EncouragementContext& context,
                            const std::set<std::string>& excluding, RandomGenerator& generator);
};

}  // namespace vorlane
