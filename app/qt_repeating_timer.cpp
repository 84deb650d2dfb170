#include "app/qt_repeating_timer.h"

#include <algorithm>
#include <cmath>

namespace vorlane {

void QtRepeatingTimer::start(double intervalSeconds, double toleranceSeconds,
                             std::function<void()> action) {
  QObject::disconnect(connection_);
  const double milliseconds = std::max(1.0, std::round(intervalSeconds * 1000));
  const bool precise = toleranceSeconds < 0.05 * intervalSeconds;
  timer_.setTimerType(precise ? Qt::PreciseTimer : Qt::CoarseTimer);
  timer_.setSingleShot(false);
  connection_ = QObject::connect(&timer_, &QTimer::timeout, [action = std::move(action)] {
    if (action) action();
  });
  timer_.start(static_cast<int>(milliseconds));
}

void QtRepeatingTimer::stop() {
  timer_.stop();
  QObject::disconnect(connection_);
}

RepeatingTimerFactory QtRepeatingTimer::factory() {
  return [] { return std::make_unique<QtRepeatingTimer>(); };
}

}  // namespace vorlane
