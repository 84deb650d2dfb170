#pragma once

#include "core/contracts/system_event_source.h"

namespace vorlane {

// Desktop events the test sends by hand. A sleep the desktop has not reported yet is told
// by the first deliverPendingWake(), as the monitor does after a resume.
class FakeSystemEvents final : public SystemEventSource {
 public:
  Observers<>& screenWentAway() override { return away; }
  Observers<>& screenCameBack() override { return back; }
  Observers<>& didWake() override { return wake; }
  void deliverPendingWake(std::function<void()> then) override {
    ++pendingWakeChecks;
    if (sleptUnreported) {
      sleptUnreported = false;
      wake.notify();
    }
    then();
  }

  Observers<> away;
  Observers<> back;
  Observers<> wake;
  bool sleptUnreported = false;
  int pendingWakeChecks = 0;
};

}  // namespace vorlane
