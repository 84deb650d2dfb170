#include "core/suppression/suppression_policy.h"

namespace vorlane {

SuppressionDecision SuppressionPolicy::evaluate(const EnvironmentSnapshot& snapshot) const {
  using Decision = SuppressionDecision;
  if (snapshot.isScreenUnavailable) {
    return Decision::suppress(SuppressionReason::screenUnavailable());
  }
  if (snapshot.mutedUntil && *snapshot.mutedUntil > snapshot.now) {
    return Decision::suppress(SuppressionReason::muted(*snapshot.mutedUntil));
  }
  if (snapshot.cameraInUse) return Decision::suppress(SuppressionReason::cameraInUse());
  if (snapshot.microphoneInUse) return Decision::suppress(SuppressionReason::microphoneInUse());
  if (snapshot.activeAppID && blockedAppIDs.contains(*snapshot.activeAppID)) {
    return Decision::suppress(SuppressionReason::presentationApp(*snapshot.activeAppID));
  }
  if (quietInFullscreen && snapshot.isFullscreenOnTargetDisplay) {
    return Decision::suppress(SuppressionReason::fullscreen());
  }
  return Decision::allow();
}

const std::set<std::string>& SuppressionPolicy::defaultBlockedAppIDs() {
  // A function-local static is built once, even under concurrent first use.
  static const std::set<std::string> ids{
      "us.zoom.xos",
      "com.microsoft.teams",
      "com.microsoft.teams2",
      "com.apple.iWork.Keynote",
      "com.microsoft.Powerpoint",
      "com.apple.QuickTimePlayer",
      "com.webex.meetingmanager",
      "com.cisco.webexmeetingsapp",
      "com.google.Chrome.app.kjgfgldnnfoeklkmfkjfagphfepbbdan",
  };
  return ids;
}

}  // namespace vorlane
