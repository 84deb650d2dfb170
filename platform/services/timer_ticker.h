#pragma once

#include <QTimer>

#include "core/contracts/ticker.h"

namespace vorlane {

// The application's heartbeat: one repeating coarse timer on the main thread that calls
// `onTick` on every fire. The first fire comes one interval after `start()`; missed fires
// are not made up. Destroying the ticker stops its timer, so no fire outlives it.
class TimerTicker final : public Ticker {
 public:
  // The system may defer a fire by up to this many seconds.
  static constexpr double tolerance = 5.0;

  // `interval` in seconds (the application uses 30).
  explicit TimerTicker(double interval);

  double interval() const { return interval_; }
  bool isRunning() const { return timer_.isActive(); }

  // (Re)starts the heartbeat; a running ticker restarts its phase.
  void start() override;
  void stop() override;

 private:
  void fire();

  double interval_;
  QTimer timer_;
};

}  // namespace vorlane
