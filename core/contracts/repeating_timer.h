#pragma once

#include <functional>
#include <memory>

namespace vorlane {

// A timer that fires again and again on the main thread until stopped. Starting an active
// timer restarts its phase with the new action.
class RepeatingTimer {
 public:
  RepeatingTimer() = default;
  RepeatingTimer(const RepeatingTimer&) = delete;
  RepeatingTimer& operator=(const RepeatingTimer&) = delete;
  virtual ~RepeatingTimer() = default;

  virtual void start(double intervalSeconds, double toleranceSeconds,
                     std::function<void()> action) = 0;
  virtual void stop() = 0;
  virtual bool isActive() const = 0;
};

using RepeatingTimerFactory = std::function<std::unique_ptr<RepeatingTimer>()>;

}  // namespace vorlane
