#pragma once

#include <QTimer>
#include <chrono>
#include <memory>

#include "core/contracts/clock.h"
#include "core/contracts/ticker.h"

namespace vorlane {

// The application's heartbeat on the main thread: calls `onTick` on wall-clock instants a
// whole number of intervals after the epoch (for 30 s, every :00 and :30), so that what is
// due on the hour is seen within moments of it, whenever the program started. Each fire
// arms the next one afresh from the wall clock, so a clock change or a wake (while
// suspended the timer stands still) puts the beat back on the half minute at the next fire.
// The first fire comes at the next such instant after `start()`, never at once; missed
// fires are not made up. One tick per beat: a fire that finds the wall clock still short of
// its beat waits for it without ticking. Destroying the ticker stops its timer, so no fire outlives
// it.
class TimerTicker final : public Ticker {
 public:
  // The system may defer a fire by up to this many seconds.
  static constexpr double tolerance = 5.0;

  // `interval` in seconds (the application uses 30); `wallClock` places the beats.
  explicit TimerTicker(double interval,
                       std::shared_ptr<const Clock> wallClock = std::make_shared<SystemClock>());

  double interval() const { return interval_; }
  bool isRunning() const { return timer_.isActive(); }
  // How long the armed fire waits from when it was armed.
  std::chrono::milliseconds armedDelay() const { return timer_.intervalAsDuration(); }

  // (Re)starts the heartbeat; a running ticker is re-armed from the clock's time now.
  void start() override;
  void stop() override;

 private:
  // Aims at the first beat after `from`, waiting from `now`.
  void arm(Date from, Date now);
  void fire();

  double interval_;
  std::shared_ptr<const Clock> wallClock_;
  Date beat_;
  QTimer timer_;
};

}  // namespace vorlane
