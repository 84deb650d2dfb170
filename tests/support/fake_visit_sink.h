#pragma once

#include <functional>
#include <vector>

#include "coordination/contracts/visit_sink.h"
#include "core/suppression/suppression_reason.h"

namespace vorlane {

// Takes the visits a part hands in and keeps them in order; `quiet` suppresses every visit
// as if the screen were away.
class FakeVisitSink final : public VisitSink {
 public:
  SuppressionDecision suppressionDecision(Date date) override {
    decisionsAt.push_back(date);
    return quiet ? SuppressionDecision::suppress(SuppressionReason::screenUnavailable())
                 : SuppressionDecision::allow();
  }
  void enqueue(const Visit& visit) override { enqueued.push_back(visit); }
  // Records which of the visits handed in so far `unwanted` picks.
  void withdraw(const std::function<bool(const Visit&)>& unwanted) override {
    ++withdrawals;
    for (const Visit& visit : enqueued) {
      if (unwanted(visit)) withdrawn.push_back(visit.kind);
    }
  }
  void cutShort(const UUID& visitID) override { cutShortIDs.push_back(visitID); }

  std::vector<Visit::Kind> kinds() const {
    std::vector<Visit::Kind> result;
    for (const Visit& visit : enqueued) result.push_back(visit.kind);
    return result;
  }

  bool quiet = false;
  std::vector<Date> decisionsAt;
  std::vector<Visit> enqueued;
  int withdrawals = 0;
  std::vector<Visit::Kind> withdrawn;
  std::vector<UUID> cutShortIDs;
};

}  // namespace vorlane
