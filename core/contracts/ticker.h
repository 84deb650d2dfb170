#pragma once

#include <functional>

namespace vorlane {

// A periodic tick. `onTick` (empty when absent) is called on every tick while running.
class Ticker {
 public:
  Ticker() = default;
  Ticker(const Ticker&) = delete;
  Ticker& operator=(const Ticker&) = delete;
  virtual ~Ticker() = default;

  std::function<void()> onTick;

  virtual void start() = 0;
  virtual void stop() = 0;
};

}  // namespace vorlane
