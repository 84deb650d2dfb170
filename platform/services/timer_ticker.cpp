#include "platform/services/timer_ticker.h"

#include <cmath>
#include <limits>

#include "platform/services/main_thread.h"

namespace vorlane {
namespace {

// QTimer takes whole milliseconds in an int; anything out of that range is clamped.
int intervalMilliseconds(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0.0) {
    return seconds > 0.0 ? std::numeric_limits<int>::max() : 0;
  }
  const double ms = std::round(seconds * 1000.0);
  return ms >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(ms);
}

}  // namespace

TimerTicker::TimerTicker(double interval) : interval_(interval) {
  timer_.setSingleShot(false);
  // Coarse timers may fire up to 5 % late: 1.5 s at 30 s, inside the tolerance.
  timer_.setTimerType(Qt::CoarseTimer);
  timer_.setInterval(intervalMilliseconds(interval));
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { fire(); });
}

void TimerTicker::start() {
  Q_ASSERT(isMainThread());
  timer_.start();  // restarts an active timer from now
}

void TimerTicker::stop() {
  Q_ASSERT(isMainThread());
  timer_.stop();
}

void TimerTicker::fire() {
  Q_ASSERT(isMainThread());
  // Through a copy: the callback may replace itself, stop or destroy the ticker.
  auto tick = onTick;
  if (tick) {
    tick();
  }
}

}  // namespace vorlane
