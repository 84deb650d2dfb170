#include "platform/desktop/environment/snapshot_budget.h"

#include <algorithm>

namespace vorlane {

SnapshotBudget::SnapshotBudget(std::chrono::milliseconds total,
                               std::function<Clock::time_point()> clock)
    : total_(total), clock_(std::move(clock)) {}

void SnapshotBudget::start() {
  started_ = true;
  deadline_ = clock_() + total_;
}

std::chrono::milliseconds SnapshotBudget::left() const {
  if (!started_) return total_;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - clock_());
  return std::max(left, std::chrono::milliseconds(0));
}

}  // namespace vorlane
