#pragma once

#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/calendar/busy_reader.h"

namespace vorlane::testing {

// A calendar source with a fixed answer (stretches, or a failure) that can be held: while
// held, a read blocks, as a hung calendar service would, until released. It notes how many
// reads began, on which thread the last one ran and what cancellation they saw.
class FakeBusyReader final : public BusyReader {
 public:
  explicit FakeBusyReader(std::vector<BusyInterval> busy = {}, std::string failure = {})
      : busy_(std::move(busy)), failure_(std::move(failure)) {}

  std::vector<BusyInterval> read(DateInterval, const CancelToken& cancel) const override {
    std::unique_lock lock(mutex_);
    ++started_;
    readerThread_ = gettid();
    changed_.notify_all();
    changed_.wait(lock, [&] { return !held_; });
    sawCancel_ = cancel.cancelled();
    if (!failure_.empty()) throw std::runtime_error(failure_);
    return busy_;
  }
  std::vector<std::string> places() const override { return {"fake"}; }

  void hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
  }
  void release() {
    std::lock_guard lock(mutex_);
    held_ = false;
    changed_.notify_all();
  }
  // Waits until `count` reads have begun.
  void waitForStarted(int count) const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return started_ >= count; });
  }
  int started() const {
    std::lock_guard lock(mutex_);
    return started_;
  }
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
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  mutable int started_ = 0;
  mutable pid_t readerThread_ = 0;
  mutable bool sawCancel_ = false;
  bool held_ = false;
};

}  // namespace vorlane::testing
