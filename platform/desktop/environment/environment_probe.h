#pragma once

#include <optional>
#include <string>

#include "core/suppression/environment_snapshot.h"
#include "foundation/date.h"
#include "platform/desktop/environment/environment_sources.h"

namespace vorlane {

// The facts of the user's situation at one moment, read afresh from the system for every
// snapshot. Judges nothing: the suppression policy decides on the snapshot.
class EnvironmentProbe {
 public:
  EnvironmentProbe(std::optional<Date> mutedUntil, std::optional<std::string> preferredScreenID,
                   EnvironmentSources& sources)
      : mutedUntil(mutedUntil),
        preferredScreenID(std::move(preferredScreenID)),
        sources_(&sources) {}

  // Asks every source, in a fixed order and always all of them (a camera in use does not
  // spare the other questions), all of them within the sources' one budget. Main thread
  // only.
  EnvironmentSnapshot snapshot(Date now) const;

  std::optional<Date> mutedUntil;
  // The screen the mascot lives on; none means the main screen.
  std::optional<std::string> preferredScreenID;

 private:
  EnvironmentSources* sources_;
};

}  // namespace vorlane
