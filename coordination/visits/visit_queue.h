#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <utility>

#include "core/contracts/visit.h"
#include "foundation/date.h"

namespace vorlane {

// Visits allowed on screen but waiting for the mascot, oldest first. A visit waits at
// most `staleLimit` seconds past its due time; older ones are dropped, never shown late.
// Hands out copies only: callers run presenter code that may re-enter the queue.
class VisitQueue {
 public:
  static constexpr double staleLimit = 90;

  void hold(Visit visit) { visits_.push_back(std::move(visit)); }

  // The oldest visit at most `staleLimit` seconds past due at `now`, removed from the
  // queue. Older ones before it are dropped, each with a log line; none when nothing fresh
  // is left.
  std::optional<Visit> takeNext(Date now);

  // Empties the queue and returns what it held, oldest first.
  std::deque<Visit> takeAll() { return std::exchange(visits_, {}); }

  // Removes the visits the predicate picks; the others keep their order.
  void removeIf(const std::function<bool(const Visit&)>& picks);

  bool empty() const { return visits_.empty(); }
  std::size_t size() const { return visits_.size(); }
  const std::deque<Visit>& visits() const { return visits_; }

 private:
  std::deque<Visit> visits_;
};

}  // namespace vorlane
