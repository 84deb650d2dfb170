#include "coordination/visits/visit_queue.h"

#include <algorithm>
#include <utility>

#include "platform/logging/log.h"

namespace vorlane {

std::optional<Visit> VisitQueue::takeNext(Date now) {
  while (!visits_.empty()) {
    Visit visit = std::move(visits_.front());
    visits_.pop_front();
    if (now - visit.scheduledFor <= staleLimit) return visit;
    Log::presentation().info("dropping held visit, it went stale while waiting");
  }
  return std::nullopt;
}

void VisitQueue::removeIf(const std::function<bool(const Visit&)>& picks) {
  std::erase_if(visits_, picks);
}

}  // namespace vorlane
