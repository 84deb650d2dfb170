#pragma once

#include <chrono>
#include <functional>

namespace vorlane {

// The time one environment snapshot may spend waiting on services, shared by every source
// that asks one: a hung service costs the snapshot the budget once, not once per call.
class SnapshotBudget {
 public:
  using Clock = std::chrono::steady_clock;

  explicit SnapshotBudget(std::chrono::milliseconds total = std::chrono::milliseconds(250),
                          std::function<Clock::time_point()> clock = Clock::now);

  // A snapshot begins: the whole budget is available again.
  void start();
  // What is left of it; the whole budget when no snapshot has begun (a source asked alone).
  std::chrono::milliseconds left() const;
  Clock::time_point now() const { return clock_(); }

 private:
  std::chrono::milliseconds total_;
  std::function<Clock::time_point()> clock_;
  bool started_ = false;
  Clock::time_point deadline_{};
};

}  // namespace vorlane
