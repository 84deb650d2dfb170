#pragma once

#include <string>
#include <vector>

#include "coordination/contracts/coordination_observer.h"

namespace vorlane {

// Hears what a part reports, each event by name in `told`, in the order told.
class FakeCoordinationObserver final : public CoordinationObserver {
 public:
  void stateChanged() override {
    ++changes;
    told.push_back("state");
  }
  void muteChanged() override { told.push_back("mute"); }
  void phaseChanged() override {
    ++phaseChanges;
    told.push_back("phase");
  }
  void userBusy(Date now) override {
    busyAt.push_back(now);
    told.push_back("busy");
  }
  void visitPresenting(const Visit& visit) override {
    presenting.push_back(visit);
    told.push_back("presenting");
  }

  std::vector<std::string> told;
  int changes = 0;
  int phaseChanges = 0;
  std::vector<Date> busyAt;
  std::vector<Visit> presenting;
};

}  // namespace vorlane
