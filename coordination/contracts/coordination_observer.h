#pragma once

#include "core/contracts/visit.h"
#include "foundation/date.h"

namespace vorlane {

// What the coordinator's parts report to the one that wired them, so that each part hears of
// the others' events without holding them. Parts hold it weakly: once it is gone, they tell
// nobody.
class CoordinationObserver {
 public:
  virtual ~CoordinationObserver() = default;

  // After every change the status item shows.
  virtual void stateChanged() = 0;
  // The mute started or ended; told before `stateChanged`.
  virtual void muteChanged() = 0;
  // The session's phase changed, so what the mascot offers follows.
  virtual void phaseChanged() = 0;
  // The user is busy with a session at that moment.
  virtual void userBusy(Date now) = 0;
  // A visit is about to be handed to the mascot.
  virtual void visitPresenting(const Visit& visit) = 0;
};

}  // namespace vorlane
