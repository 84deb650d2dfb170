#include "platform/desktop/capture/capture_streams.h"

#include <algorithm>

namespace vorlane {

bool anyCaptureStreamActive(const std::vector<CaptureStream>& streams,
                            const std::set<std::uint32_t>& monitorSources, long ownPid) {
  return std::any_of(streams.begin(), streams.end(), [&](const CaptureStream& s) {
    if (s.corked) return false;
    if (s.pid && *s.pid == ownPid) return false;
    return !monitorSources.contains(s.source);
  });
}

}  // namespace vorlane
