#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "core/contracts/repeating_timer.h"

namespace vorlane {

// A timer the test fires by hand. The factory keeps a view of every timer it made, so a
// test can reach the one the code under test owns.
class FakeRepeatingTimer final : public RepeatingTimer {
 public:
  void start(double intervalSeconds, double toleranceSeconds,
             std::function<void()> action) override {
    interval = intervalSeconds;
    tolerance = toleranceSeconds;
    action_ = std::move(action);
    active_ = true;
    ++starts;
  }
  void stop() override { active_ = false; }
  bool isActive() const override { return active_; }
  // One firing; the action may stop or restart the timer.
  void fire() {
    if (!active_) return;
    const auto action = action_;
    if (action) action();
  }

  double interval = 0;
  double tolerance = 0;
  int starts = 0;

 private:
  bool active_ = false;
  std::function<void()> action_;
};

class FakeRepeatingTimerFactory {
 public:
  RepeatingTimerFactory factory() {
    return [this] {
      auto timer = std::make_unique<FakeRepeatingTimer>();
      made.push_back(timer.get());
      return timer;
    };
  }
  std::vector<FakeRepeatingTimer*> made;  // owned by whoever asked
};

}  // namespace vorlane
