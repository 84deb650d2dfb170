#pragma once

#include <string>

#include "platform/desktop/capture/pulse_capture_query.h"
#include "platform/desktop/environment/environment_sources.h"
#include "platform/desktop/environment/snapshot_budget.h"

namespace vorlane {

// The sound server's recording streams; only when no server listens at all, the ALSA capture
// substreams (with a server running, its own capture substream would always count, so a
// slow or failing server means "not in use"). Waits on the server no longer than what is
// left of `budget`, when given.
class SystemMicrophoneUsage final : public MicrophoneUsage {
 public:
  explicit SystemMicrophoneUsage(PulseCaptureQuery query = PulseCaptureQuery(),
                                 std::string asoundRoot = "/proc/asound",
                                 SnapshotBudget* budget = nullptr);

  bool isMicrophoneInUse() override;

 private:
  PulseCaptureQuery query_;
  std::string asoundRoot_;
  SnapshotBudget* budget_;
};

}  // namespace vorlane
