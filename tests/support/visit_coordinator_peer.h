#pragma once

#include "coordination/coordinator/visit_coordinator.h"
#include "coordination/visits/visit_delivery.h"

namespace vorlane {

// What a test reads of the coordinator that its callers never need: the visit delivery, with
// the visits held while another is on screen and whether the screen is away.
class VisitCoordinatorPeer {
 public:
  static const VisitDelivery& delivery(const VisitCoordinator& coordinator) {
    return *coordinator.delivery_;
  }
};

}  // namespace vorlane
