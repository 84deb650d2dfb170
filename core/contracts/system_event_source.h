#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "foundation/observers.h"

namespace vorlane {

// What the desktop says about the screen and the machine: the screen going away (sleep,
// lock, another session), coming back, and the machine waking from suspend. Told on the
// main thread; the desktop's monitor in the application, a hand-driven fake in tests.
class SystemEventSource {
 public:
  virtual ~SystemEventSource() = default;

  virtual Observers<>& screenWentAway() = 0;
  virtual Observers<>& screenCameBack() = 0;
  virtual Observers<>& didWake() = 0;

  // Tells a wake that happened but was not told yet, then calls `then`. Timers stall in
  // suspend and may fire after a resume before the desktop reports it; they do their work in
  // `then`, so that the wake is handled before anything that depends on time. `then` runs at
  // once, or a moment later on the main thread where the desktop must be asked first; it is
  // dropped with the source.
  virtual void deliverPendingWake(std::function<void()> then) = 0;
};

// Runs `work` after any wake not told yet; at once where nothing tells wakes.
inline void afterPendingWake(const std::shared_ptr<SystemEventSource>& source,
                             std::function<void()> work) {
  if (source) {
    source->deliverPendingWake(std::move(work));
  } else {
    work();
  }
}

}  // namespace vorlane
