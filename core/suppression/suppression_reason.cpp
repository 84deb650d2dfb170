#include "core/suppression/suppression_reason.h"

namespace vorlane {

std::string SuppressionReason::explanation() const {
  switch (case_) {
    case Case::muted:
      return "muted";
    case Case::presentationApp:
      return "presenting in " + appID_;
    case Case::cameraInUse:
      return "camera in use";
    case Case::microphoneInUse:
      return "microphone in use";
    case Case::fullscreen:
      return "fullscreen app on the target display";
    case Case::screenUnavailable:
      return "screen asleep or locked";
  }
  return "muted";
}

SuppressionFallback SuppressionReason::fallback(const Visit::Kind& kind) const {
  switch (kind.value()) {
    case Visit::Kind::Case::reminder:
    case Visit::Kind::Case::pomodoroStart:
    case Visit::Kind::Case::pomodoroComplete:
    case Visit::Kind::Case::breakComplete:
      return SuppressionFallback::silentNotification;
    case Visit::Kind::Case::hourly:
    case Visit::Kind::Case::manual:
      // Nobody sees a notification about the time on a sleeping screen.
      return case_ == Case::screenUnavailable ? SuppressionFallback::drop
                                              : SuppressionFallback::silentNotification;
    case Visit::Kind::Case::encouragement:
      return SuppressionFallback::drop;
  }
  return SuppressionFallback::drop;
}

}  // namespace vorlane
