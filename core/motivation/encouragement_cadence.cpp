#include "core/motivation/encouragement_cadence.h"

#include <set>

#include "core/motivation/encouragement_library.h"

namespace vorlane {

void EncouragementCadence::reset(Date now, RandomGenerator& generator) {
  nextDue = now + uniformClosed(generator, interval.lowerBound, interval.upperBound);
}

std::optional<Encouragement> EncouragementCadence::takeDue(Date now,
                                                           const EncouragementContext& context,
                                                           RandomGenerator& generator) {
  if (!nextDue) {
    reset(now, generator);
    return std::nullopt;
  }
  if (now < *nextDue) return std::nullopt;

  const Date due = *nextDue;
  reset(now, generator);
  if (now - due > lateTolerance) return std::nullopt;

  const std::set<std::string> excluding(recent_.begin(), recent_.end());
  Encouragement picked = EncouragementLibrary::pick(context, excluding, generator);
  recent_.push_back(picked.id);
  while (recent_.size() > recentLimit) recent_.pop_front();
  return picked;
}

}  // namespace vorlane
