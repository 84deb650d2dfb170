#include "platform/desktop/capture/system_microphone_usage.h"

#include "platform/desktop/capture/alsa_capture_status.h"

namespace vorlane {

SystemMicrophoneUsage::SystemMicrophoneUsage(PulseCaptureQuery query, std::string asoundRoot,
                                             SnapshotBudget* budget)
    : query_(std::move(query)), asoundRoot_(std::move(asoundRoot)), budget_(budget) {}

bool SystemMicrophoneUsage::isMicrophoneInUse() {
  const CaptureAnswer answer =
      budget_ != nullptr ? query_.isCapturing(budget_->left()) : query_.isCapturing();
  switch (answer) {
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
