#pragma once

#include <string>
#include <string_view>

#include "platform/desktop/environment/environment_sources.h"

namespace vorlane {

// Whether a descriptor link names a video capture node ("/dev/video0").
bool isVideoDeviceLink(std::string_view target);

// A camera is in use when any other process holds a /dev/video* node open, as its
// /proc/<pid>/fd links show. Processes whose descriptors cannot be read (another user's,
// or gone meanwhile) are skipped.
class ProcCameraUsage final : public CameraUsage {
 public:
  explicit ProcCameraUsage(std::string procRoot = "/proc", long ownPid = -1);

  bool isCameraInUse() override;

 private:
  std::string procRoot_;
  long ownPid_;
};

}  // namespace vorlane
