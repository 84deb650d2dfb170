#include "app/instance_contest.h"

#include <algorithm>

namespace vorlane {

InstanceContest::Outcome InstanceContest::settle() const {
  const auto deadline = now() + patience;
  for (;;) {
    if (claim()) return Outcome::claimed;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now());
    if (askHolderToShow(std::clamp(left, std::chrono::milliseconds(1), longestAsk))) {
      return Outcome::otherShown;
    }
    // The claim may have come free while the request waited: a last try after the deadline.
    if (now() >= deadline) return claim() ? Outcome::claimed : Outcome::otherSilent;
    pause(interval);
  }
}

}  // namespace vorlane
