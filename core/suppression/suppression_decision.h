#pragma once

#include <optional>
#include <utility>

#include "core/suppression/suppression_reason.h"

namespace vorlane {

// The policy's answer: show the visit, or hold it back for one reason.
class SuppressionDecision {
 public:
  static SuppressionDecision allow() { return SuppressionDecision(std::nullopt); }
  static SuppressionDecision suppress(SuppressionReason reason) {
    return SuppressionDecision(std::move(reason));
  }

  bool isAllowed() const { return !reason_.has_value(); }
  // The reason of a suppression; none for `allow`.
  const std::optional<SuppressionReason>& reason() const { return reason_; }

  bool operator==(const SuppressionDecision&) const = default;

 private:
  explicit SuppressionDecision(std::optional<SuppressionReason> reason)
      : reason_(std::move(reason)) {}
  std::optional<SuppressionReason> reason_;
};

}  // namespace vorlane
