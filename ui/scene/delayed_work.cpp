#include "ui/scene/delayed_work.h"

#include <algorithm>
#include <cmath>

namespace vorlane {

TimerDelayedWork::TimerDelayedWork(Qt::TimerType type) {
  timer_.setSingleShot(true);
  timer_.setTimerType(type);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    auto work = std::move(work_);
    work_ = nullptr;
    if (work) work();
  });
}

void TimerDelayedWork::schedule(double seconds, std::function<void()> work) {
  work_ = std::move(work);
  timer_.start(static_cast<int>(std::lround(std::max(0.0, seconds) * 1000)));
}

void TimerDelayedWork::cancel() {
  timer_.stop();
  work_ = nullptr;
}

}  // namespace vorlane
