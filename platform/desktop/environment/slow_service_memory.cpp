#include "platform/desktop/environment/slow_service_memory.h"

#include <algorithm>

namespace vorlane {

bool SlowServiceMemory::mayAsk(const std::string& service, Clock::time_point now) const {
  const auto found = slow_.find(service);
  return found == slow_.end() || now >= found->second.askAgainAt;
}

void SlowServiceMemory::timedOut(const std::string& service, Clock::time_point now) {
  const auto found = slow_.find(service);
  const Clock::duration pause =
      found == slow_.end() ? Clock::duration(firstPause_)
                           : std::min<Clock::duration>(found->second.pause * 2, longestPause_);
  slow_[service] = Slow{now + pause, pause};
}

}  // namespace vorlane
