#pragma once

#include <memory>
#include <vector>

#include "ui/scene/delayed_work.h"

namespace vorlane {

// Delayed work driven by hand: items fire, in due order, when the queue is advanced.
class ManualWorkQueue {
 public:
  std::unique_ptr<DelayedWork> makeWork();
  void advance(double seconds);
  double now() const { return *now_; }

 private:
  class Item;
  std::shared_ptr<double> now_ = std::make_shared<double>(0);
  std::shared_ptr<std::vector<Item*>> items_ = std::make_shared<std::vector<Item*>>();
};

}  // namespace vorlane
