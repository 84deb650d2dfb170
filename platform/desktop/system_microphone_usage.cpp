#include "platform/desktop/system_microphone_usage.h"

#include "platform/desktop/alsa_capture_status.h"

namespace vorlane {

SystemMicrophoneUsage::SystemMicrophoneUsage(PulseCaptureQuery query, std::string asoundRoot)
    : query_(std::move(query)), asoundRoot_(std::move(asoundRoot)) {}

bool SystemMicrophoneUsage::isMicrophoneInUse() {
  switch (query_.isCapturing()) {
    case CaptureAnswer::capturing:
      return true;
    case CaptureAnswer::noServer:
      return alsaCaptureRunning(asoundRoot_);
    case CaptureAnswer::idle:
    case CaptureAnswer::unknown:
      break;
  }
  // A slow or failing server is not known to record; ALSA would see its own capture.
  return false;
}

}  // namespace vorlane
