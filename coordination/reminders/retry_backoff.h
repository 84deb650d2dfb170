#pragma once

#include <optional>

#include "foundation/date.h"

namespace vorlane {

// When to try again something that keeps failing: at every chance while it succeeds; after
// a failure, once a wait has passed that starts at `shortest` and doubles with each failure
// in a row, up to `longest`. A clock set back before the last failure ends the wait.
class RetryBackoff {
 public:
  RetryBackoff(double shortest, double longest) : shortest_(shortest), longest_(longest) {}

  bool isDue(Date now) const;
  // The wait before the next try, counted from `now`.
  void failed(Date now);
  // The next failure waits the shortest time again.
  void succeeded() { failing_.reset(); }

 private:
  struct Failing {
    Date at;
    double wait;
  };

  double shortest_;
  double longest_;
  std::optional<Failing> failing_;
};

}  // namespace vorlane
