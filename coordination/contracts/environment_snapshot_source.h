#pragma once

#include <optional>
#include <string>

#include "core/suppression/environment_snapshot.h"
#include "foundation/date.h"

namespace vorlane {

// Reads the user's situation afresh for one decision: the desktop's environment probe in
// the application, a scripted one in tests. The mute and the target display are the
// caller's and come back in, or shape, the snapshot.
class EnvironmentSnapshotSource {
 public:
  virtual ~EnvironmentSnapshotSource() = default;
  virtual EnvironmentSnapshot snapshot(Date now, std::optional<Date> mutedUntil,
                                       const std::optional<std::string>& preferredScreenID) = 0;
};

}  // namespace vorlane
