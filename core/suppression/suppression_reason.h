#pragma once

#include <string>
#include <utility>

#include "core/contracts/visit.h"
#include "core/suppression/suppression_fallback.h"
#include "foundation/date.h"

namespace vorlane {

// Why a visit is held back. Only `muted` (the mute's end) and `presentationApp` (the
// application's identifier) carry a payload; the other cases keep theirs empty so that
// equality compares the case alone.
class SuppressionReason {
 public:
  enum class Case {
    muted,
    presentationApp,
    cameraInUse,
    microphoneInUse,
    fullscreen,
    screenUnavailable
  };

  static SuppressionReason muted(Date until) { return SuppressionReason(Case::muted, until); }
  static SuppressionReason presentationApp(std::string appID) {
    return SuppressionReason(Case::presentationApp, Date(), std::move(appID));
  }
  static SuppressionReason cameraInUse() { return SuppressionReason(Case::cameraInUse); }
  static SuppressionReason microphoneInUse() { return SuppressionReason(Case::microphoneInUse); }
  static SuppressionReason fullscreen() { return SuppressionReason(Case::fullscreen); }
  static SuppressionReason screenUnavailable() {
    return SuppressionReason(Case::screenUnavailable);
  }

  Case value() const { return case_; }
  // The mute's end for `muted`; the reference date otherwise.
  Date mutedUntil() const { return mutedUntil_; }
  // The application's identifier for `presentationApp`; empty otherwise.
  const std::string& appID() const { return appID_; }

  // The short lower-case text written to the log when a visit is held back ("muted",
  // "presenting in <id>", "camera in use", ...).
  std::string explanation() const;
  // What becomes of a held-back visit of `kind`: reminders and focus-session steps always
  // become a silent notification, encouragements are dropped, and hourly or manual visits
  // become a notification unless the screen is asleep or locked.
  SuppressionFallback fallback(const Visit::Kind& kind) const;

  bool operator==(const SuppressionReason&) const = default;

 private:
  explicit SuppressionReason(Case c, Date until = Date(), std::string appID = {})
      : case_(c), mutedUntil_(until), appID_(std::move(appID)) {}

  Case case_;
  Date mutedUntil_;
  std::string appID_;
};

}  // namespace vorlane
