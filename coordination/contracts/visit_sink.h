#pragma once

#include <functional>

#include "core/contracts/visit.h"
#include "core/suppression/suppression_decision.h"
#include "foundation/date.h"
#include "foundation/uuid.h"

namespace vorlane {

// Where the coordinator's parts hand in the visits they want shown, and take back those that
// no longer hold. One judge for every visit, so all of them meet the same suppression.
class VisitSink {
 public:
  virtual ~VisitSink() = default;

  // Whether a visit may show at `date`, and if not, why.
  virtual SuppressionDecision suppressionDecision(Date date) = 0;
  // Shown, held, posted silently or dropped, as the decision at this moment says.
  virtual void enqueue(const Visit& visit) = 0;
  // Drops every held visit `unwanted` picks.
  virtual void withdraw(const std::function<bool(const Visit&)>& unwanted) = 0;
  // The visit with that id says what is no longer so: it goes, held or on screen.
  virtual void cutShort(const UUID& visitID) = 0;
};

}  // namespace vorlane
