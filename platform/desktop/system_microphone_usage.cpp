#include "platform/desktop/system_microphone_usage.h"

#include "platform/desktop/alsa_capture_status.h"

namespace vorlane {

SystemMicrophoneUsage::SystemMicrophoneUsage(PulseCaptureQuery query, std::string asoundRoot)
    : query_(std::move(query)), asoundRoot_(std::move(asoundRoot)) {}

bool SystemMicrophoneUsage::isMicrophoneInUse() {
  if (const std::optional<bool> capturing = query_.isCapturing()) return *capturing;
  return alsaCaptureRunning(asoundRoot_);
}

}  // namespace vorlane
