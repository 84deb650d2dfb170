#pragma once

#include <condition_variable>
#include <mutex>

namespace vorlane::testing {

// What a fake's calls pass through on another thread: each call is counted as it enters and,
// while the door is held, waits inside until it is released, as a hung disk or service would.
class HoldableDoor {
 public:
  void enter() {
    std::unique_lock lock(mutex_);
    ++entered_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !held_; });
  }
  // Calls from now on wait inside until release().
  void hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
  }
  void release() {
    std::lock_guard lock(mutex_);
    held_ = false;
    changed_.notify_all();
  }
  // Waits until `count` calls have entered in all.
  void awaitEntered(int count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return entered_ >= count; });
  }
  int entered() {
    std::lock_guard lock(mutex_);
    return entered_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool held_ = false;
  int entered_ = 0;
};

}  // namespace vorlane::testing
