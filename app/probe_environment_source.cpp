#include "app/probe_environment_source.h"

#include "platform/desktop/environment/environment_probe.h"

namespace vorlane {

EnvironmentSnapshot ProbeEnvironmentSource::snapshot(
    Date now, std::optional<Date> mutedUntil, const std::optional<std::string>& preferredScreenID) {
  return EnvironmentProbe(mutedUntil, preferredScreenID, sources_).snapshot(now);
}

}  // namespace vorlane
