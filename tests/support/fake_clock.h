#pragma once

#include <utility>

#include "core/contracts/clock.h"
#include "foundation/date.h"

namespace vorlane {

// A clock that stands still until a test moves it. With a step per read set, every read
// after the first lands that much later, which shows up code that reads the time twice
// for one decision.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(Date start = Date()) : now_(start) {}
  Date now() const override {
    ++reads_;
    return std::exchange(now_, now_ + stepPerRead_);
  }
  void set(Date date) { now_ = date; }
  void advance(double seconds) { now_ += seconds; }
  void setStepPerRead(double seconds) { stepPerRead_ = seconds; }
  Date peek() const { return now_; }  // the time the next read will give
  int reads() const { return reads_; }

 private:
  mutable Date now_;
  mutable int reads_ = 0;
  double stepPerRead_ = 0;
};

}  // namespace vorlane
