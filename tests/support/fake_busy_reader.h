#pragma once

#include <unistd.h>

#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/calendar/busy_reader.h"
#include "tests/support/holdable_door.h"

namespace vorlane::testing {

// A calendar source with a fixed answer (stretches, or a failure) that can be held: while
// held, a read blocks, as a hung calendar service would, until released. It notes how many
// reads began, on which thread the last one ran and what cancellation they saw.
class FakeBusyReader final : public BusyReader {
 public:
  explicit FakeBusyReader(std::vector<BusyInterval> busy = {}, std::string failure = {})
      : busy_(std::move(busy)), failure_(std::move(failure)) {}

  std::vector<BusyInterval> read(DateInterval, const CancelToken& cancel) const override {
    {
      std::lock_guard lock(mutex_);
      readerThread_ = gettid();
    }
    door_.enter();
    std::lock_guard lock(mutex_);
    sawCancel_ = cancel.cancelled();
    if (!failure_.empty()) throw std::runtime_error(failure_);
    return busy_;
  }
  std::vector<std::string> places() const override { return {"fake"}; }

  void hold() { door_.hold(); }
  void release() { door_.release(); }
  // Waits until `count` reads have begun.
  void waitForStarted(int count) const { door_.awaitEntered(count); }
  int started() const { return door_.entered(); }
  // The kernel's id of the thread the last read began on.
  pid_t readerThread() const {
    std::lock_guard lock(mutex_);
    return readerThread_;
  }
  bool sawCancel() const {
    std::lock_guard lock(mutex_);
    return sawCancel_;
  }

 private:
  std::vector<BusyInterval> busy_;
  std::string failure_;
  mutable HoldableDoor door_;
  mutable std::mutex mutex_;
  mutable pid_t readerThread_ = 0;
  mutable bool sawCancel_ = false;
};

}  // namespace vorlane::testing
