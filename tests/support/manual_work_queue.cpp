#include "tests/support/manual_work_queue.h"

#include <algorithm>

namespace vorlane {

class ManualWorkQueue::Item final : public DelayedWork {
 public:
  Item(std::shared_ptr<double> now, std::shared_ptr<std::vector<Item*>> items)
      : now_(std::move(now)), items_(std::move(items)) {
    items_->push_back(this);
  }
  ~Item() override { std::erase(*items_, this); }
  void schedule(double seconds, std::function<void()> work) override {
    due_ = *now_ + std::max(0.0, seconds);
    work_ = std::move(work);
  }
  void cancel() override { work_ = nullptr; }
  bool isPending() const override { return static_cast<bool>(work_); }

  double due_ = 0;
  std::function<void()> work_;

 private:
  std::shared_ptr<double> now_;
  std::shared_ptr<std::vector<Item*>> items_;
};

std::unique_ptr<DelayedWork> ManualWorkQueue::makeWork() {
  return std::make_unique<Item>(now_, items_);
}

void ManualWorkQueue::advance(double seconds) {
  const double end = *now_ + seconds;
  for (;;) {
    Item* next = nullptr;
    for (Item* item : *items_) {
      if (item->isPending() && item->due_ <= end && (next == nullptr || item->due_ < next->due_)) {
        next = item;
      }
    }
    if (next == nullptr) break;
    *now_ = std::max(*now_, next->due_);
    auto work = std::move(next->work_);
    next->work_ = nullptr;
    work();  // may delete or reschedule any item
  }
  *now_ = end;
}

}  // namespace vorlane
