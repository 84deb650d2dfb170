#pragma once

#include <atomic>
#include <memory>

namespace vorlane {

// A flag shared between whoever asked for a read and the thread doing it. The reader looks
// at it between files, calendars and events and stops early once it is set; copies share it.
class CancelToken {
 public:
  CancelToken() : flag_(std::make_shared<std::atomic<bool>>(false)) {}

  void cancel() const { flag_->store(true, std::memory_order_relaxed); }
  bool cancelled() const { return flag_->load(std::memory_order_relaxed); }

 private:
  std::shared_ptr<std::atomic<bool>> flag_;
};

}  // namespace vorlane
