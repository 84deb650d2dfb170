#include "coordination/reminders/retry_backoff.h"

#include <algorithm>

namespace vorlane {

bool RetryBackoff::isDue(Date now) const {
  if (!failing_) return true;
  return now < failing_->at || now - failing_->at >= failing_->wait;
}

void RetryBackoff::failed(Date now) {
  const double wait = failing_ ? std::min(failing_->wait * 2, longest_) : shortest_;
  failing_ = Failing{now, wait};
}

}  // namespace vorlane
