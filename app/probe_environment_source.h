#pragma once

#include "coordination/contracts/environment_snapshot_source.h"
#include "platform/desktop/environment/environment_sources.h"

namespace vorlane {

// The coordinator's view of the desktop: a fresh EnvironmentProbe over long-lived sources
// for every snapshot, with the caller's mute and display.
class ProbeEnvironmentSource final : public EnvironmentSnapshotSource {
 public:
  // `sources` must outlive this object.
  explicit ProbeEnvironmentSource(EnvironmentSources sources) : sources_(sources) {}

  EnvironmentSnapshot snapshot(Date now, std::optional<Date> mutedUntil,
                               const std::optional<std::string>& preferredScreenID) override;

 private:
  EnvironmentSources sources_;
};

}  // namespace vorlane
