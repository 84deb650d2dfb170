#pragma once

#include <deque>
#include <optional>
#include <string>

#include "core/motivation/encouragement.h"
#include "core/motivation/encouragement_context.h"
#include "foundation/closed_range.h"
#include "foundation/date.h"
#include "foundation/random.h"

namespace vorlane {

// When the next encouragement is due, and which ones were handed out lately. Held in
// memory by its owner, never stored.
class EncouragementCadence {
 public:
  // Seconds from one due time to the next (50 to 110 minutes).
  static constexpr ClosedRange<double> interval{3000.0, 6600.0};
  // How late an occasion may be taken; a later one is dropped.
  static constexpr double lateTolerance = 300.0;
  // How many recent ids are kept out of the next picks.
  static constexpr std::size_t recentLimit = 16;

  std::optional<Date> nextDue;

  // Schedules the next encouragement a random interval after `now`; `recent` is kept.
  void reset(Date now, RandomGenerator& generator);

  // The encouragement due at `now`, if any. The first call only schedules; a due call always
  // schedules the next one first (one draw), then drops an occasion more than
  // `lateTolerance` late, or picks one not among the recent ids and remembers it.
  std::optional<Encouragement> takeDue(Date now, const EncouragementContext& context,
                                       RandomGenerator& generator);

  // The ids handed out lately, oldest first.
  const std::deque<std::string>& recent() const { return recent_; }

  bool operator==(const EncouragementCadence&) const = default;

 private:
  std::deque<std::string> recent_;
};

}  // namespace vorlane
