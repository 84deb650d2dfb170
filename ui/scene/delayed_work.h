#pragma once

#include <QTimer>
#include <functional>
#include <memory>

namespace vorlane {

// One cancellable piece of delayed main-thread work; scheduling again replaces it.
class DelayedWork {
 public:
  virtual ~DelayedWork() = default;
  virtual void schedule(double seconds, std::function<void()> work) = 0;
  virtual void cancel() = 0;
  // False once the work ran or was cancelled.
  virtual bool isPending() const = 0;
};

// Delayed work on a single-shot timer of the event loop. A coarse timer may fire 5 % late;
// work that must land on a given second asks for a precise one.
class TimerDelayedWork final : public DelayedWork {
 public:
  explicit TimerDelayedWork(Qt::TimerType type = Qt::CoarseTimer);
  void schedule(double seconds, std::function<void()> work) override;
  void cancel() override;
  bool isPending() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
  std::function<void()> work_;
};

}  // namespace vorlane
