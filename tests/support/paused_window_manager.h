#pragma once

#include <signal.h>
#include <sys/types.h>

namespace vorlane::testing {

// The window manager an X test binary started for all its tests; -1 when it started none.
pid_t windowManagerPid();

// Holds the window manager still while alive, as a loaded machine does for a moment: it
// hears of nothing and changes nothing until this ends.
class PausedWindowManager {
 public:
  PausedWindowManager()
      : paused_(windowManagerPid() > 0 && kill(windowManagerPid(), SIGSTOP) == 0) {}
  ~PausedWindowManager() {
    if (paused_) kill(windowManagerPid(), SIGCONT);
  }
  PausedWindowManager(const PausedWindowManager&) = delete;
  PausedWindowManager& operator=(const PausedWindowManager&) = delete;

  bool paused() const { return paused_; }

 private:
  bool paused_;
};

}  // namespace vorlane::testing
