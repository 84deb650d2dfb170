#include "platform/services/timer_ticker.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/logging/main_thread.h"
#include "platform/services/tick_alignment.h"

namespace vorlane {
namespace {

// A wall-clock instant this close ahead counts as reached: finer than a Date's resolution
// near today allows, so rounding noise never makes a fire look early.
constexpr double reachedWithin = 1e-6;

// QTimer takes whole milliseconds in an int; anything out of that range is clamped. Rounded
// up, so a fire never comes before its beat by the timer's own rounding; a beat due within
// the millisecond waits one, never none.
int delayMilliseconds(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0.0) {
    return seconds > 0.0 ? std::numeric_limits<int>::max() : 0;
  }
  const double ms = std::max(1.0, std::ceil((seconds - reachedWithin) * 1000.0));
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

void TimerTicker::stop() {
  Q_ASSERT(isMainThread());
  timer_.stop();
}

void TimerTicker::start() {
  Q_ASSERT(isMainThread());
  const Date now = wallClock_->now();
  arm(now, now);
}

void TimerTicker::arm(Date from, Date now) {
  beat_ = from + delayToNextTick(from, interval_);
  timer_.start(delayMilliseconds(beat_ - now));
}

void TimerTicker::fire() {
  Q_ASSERT(isMainThread());
  const Date now = wallClock_->now();
  const double ahead = beat_ - now;
  // Early, with the beat still to come on the wall clock: wait for it without ticking, so
  // one beat never ticks twice. A clock set back by more than an interval is a new beat.
  if (ahead > reachedWithin && ahead <= interval_) {
    timer_.start(delayMilliseconds(ahead));
    return;
  }
  // Armed before the tick: the callback may stop or destroy the ticker. A beat reached a
  // hair early aims past itself, so it is not aimed at again.
  arm(ahead > 0.0 && ahead <= reachedWithin ? beat_ + interval_ / 2 : now, now);
  // Through a copy: the callback may replace itself, stop or destroy the ticker.
  auto tick = onTick;
  if (tick) {
    tick();
  }
}

}  // namespace vorlane
