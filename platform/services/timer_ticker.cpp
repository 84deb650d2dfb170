#include "platform/services/timer_ticker.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/services/main_thread.h"
#include "platform/services/tick_alignment.h"

namespace vorlane {
namespace {

// QTimer takes whole milliseconds in an int; anything out of that range is clamped. A fire
// due within half a millisecond waits one, never none; one that lands a little early finds
// the beat just ahead and arms a fire for it.
int delayMilliseconds(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0.0) {
    return seconds > 0.0 ? std::numeric_limits<int>::max() : 0;
  }
  const double ms = std::max(1.0, std::round(seconds * 1000.0));
  return ms >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(ms);
}

}  // namespace

TimerTicker::TimerTicker(double interval, std::shared_ptr<const Clock> wallClock)
    : interval_(interval), wallClock_(std::move(wallClock)) {
  if (!wallClock_) wallClock_ = std::make_shared<SystemClock>();
  timer_.setSingleShot(true);
  // A coarse timer of 30 s fires on whole seconds of the system's own clock, up to half a
  // second early: a tick just before the hour would leave the hour for the next one.
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { fire(); });
}

void TimerTicker::start() {
  Q_ASSERT(isMainThread());
  arm();
}

void TimerTicker::stop() {
  Q_ASSERT(isMainThread());
  timer_.stop();
}

void TimerTicker::arm() {
  timer_.start(delayMilliseconds(delayToNextTick(wallClock_->now(), interval_)));
}

void TimerTicker::fire() {
  Q_ASSERT(isMainThread());
  // Armed before the tick: the callback may stop or destroy the ticker.
  arm();
  // Through a copy: the callback may replace itself, stop or destroy the ticker.
  auto tick = onTick;
  if (tick) {
    tick();
  }
}

}  // namespace vorlane
