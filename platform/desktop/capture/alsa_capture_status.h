#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// Whether an ALSA substream status file reports a running stream ("state: RUNNING").
bool alsaStatusIsRunning(std::string_view statusText);

// Whether any capture substream under the ALSA proc tree (card*/pcm*c/sub*/status) is
// running. Playback substreams never count; unreadable entries are skipped.
bool alsaCaptureRunning(const std::string& asoundRoot = "/proc/asound");

}  // namespace vorlane
