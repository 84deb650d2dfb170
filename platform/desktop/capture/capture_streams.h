#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

namespace vorlane {

// One recording stream of the sound server.
struct CaptureStream {
  bool corked = false;
  // The recording process, when the stream names it.
  std::optional<long> pid;
  std::uint32_t source = 0;
};

// Whether any stream records from a real input: not corked, not our own process, and not
// on a monitor source (which only echoes what is being played).
bool anyCaptureStreamActive(const std::vector<CaptureStream>& streams,
                            const std::set<std::uint32_t>& monitorSources, long ownPid);

}  // namespace vorlane
