#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace vorlane {

// Bounds the end of the process. Once the end has begun, the process is gone within
// `whileSaving` while the running focus and the settings are being written, and within
// `afterSaving` of the moment they are written, whatever the rest of the orderly end waits
// for: a worker thread that is joined, a calendar plugin inside a read, a call on the message
// bus to a service that does not answer, the X server, a destructor at exit. The orderly end
// stays the way out; the deadline only ends an end that has stalled: it logs the stage the end
// was in and calls `exit` with the status the end was to have, leaving the rest undone. The
// count runs on a thread of its own, started by `begin` and never joined.
// Any thread; this object may go before the process does.
class TerminationDeadline {
 public:
  struct Limits {
    std::chrono::milliseconds whileSaving{15000};
    std::chrono::milliseconds afterSaving{5000};
  };
  // The time the deadline is counted in, and a wait of the counting thread on it.
  struct Clock {
    std::function<std::chrono::nanoseconds()> now;
    std::function<void(std::chrono::nanoseconds)> sleep;
  };
  // Ends the process with `status`.
  using Exit = std::function<void(int status)>;

  // The default limits on the kernel's clock, ending with _exit.
  TerminationDeadline();
  TerminationDeadline(Limits limits, Clock clock, Exit exit);

  // The kernel's monotonic clock, read and waited on by system calls of their own: a clock
  // that a preloaded library moves or speeds up (as the desktop tests do to the program's)
  // must not shorten the seconds the end is given.
  static Clock kernelClock();

  // Starts the count, once; a later call changes nothing, not even the status.
  void begin(int status);
  // Names the stage the end is in now, for the line logged if it stalls there. `stage` is a
  // literal: it is read by the counting thread, and during exit.
  void enter(const char* stage);
  // The running focus and the settings are written: from now on the end has `afterSaving`
  // left (or less, if the first limit comes sooner). Nothing before `begin`.
  void saved();
  bool begun() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace vorlane
