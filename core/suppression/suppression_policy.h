#pragma once

#include <set>
#include <string>
#include <utility>

#include "core/suppression/environment_snapshot.h"
#include "core/suppression/suppression_decision.h"

namespace vorlane {

// Decides whether a visit may be shown in the user's present situation. Reads no system
// state: the caller builds a fresh policy from the current settings for every decision
// (`Preferences::suppressionPolicy()`).
struct SuppressionPolicy {
  // Identifiers of applications in front of which visits are held back; compared exactly.
  std::set<std::string> blockedAppIDs;
  // Whether a full-screen application on the mascot's display holds visits back.
  bool quietInFullscreen;

  SuppressionPolicy(std::set<std::string> blockedAppIDs, bool quietInFullscreen)
      : blockedAppIDs(std::move(blockedAppIDs)), quietInFullscreen(quietInFullscreen) {}

  // The first that holds decides: screen unavailable, muted (strictly later than now),
  // camera, microphone, a blocked application in front, full screen (only when quiet in
  // full screen is on); otherwise allow.
  SuppressionDecision evaluate(const EnvironmentSnapshot& snapshot) const;

  // The nine meeting and presentation applications blocked by default. Built once, safely
  // under concurrent first use.
  static const std::set<std::string>& defaultBlockedAppIDs();
};

}  // namespace vorlane
