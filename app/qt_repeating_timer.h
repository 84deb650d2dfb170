#pragma once

#include <QTimer>

#include "core/contracts/repeating_timer.h"

namespace vorlane {

// A repeating QTimer on the calling thread's loop. A tolerance under 50 ms asks for a precise
// timer (Qt's coarse timers may be 5% late); anything looser lets the system batch wake-ups.
class QtRepeatingTimer final : public RepeatingTimer {
 public:
  void start(double intervalSeconds, double toleranceSeconds,
             std::function<void()> action) override;
  void stop() override;
  bool isActive() const override { return timer_.isActive(); }

  const QTimer& timer() const { return timer_; }

  static RepeatingTimerFactory factory();

 private:
  QTimer timer_;
  QMetaObject::Connection connection_;
};

}  // namespace vorlane
