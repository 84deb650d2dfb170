#include "platform/desktop/environment/environment_probe.h"

#include "platform/logging/main_thread.h"

namespace vorlane {

EnvironmentSnapshot EnvironmentProbe::snapshot(Date now) const {
  // The screen sources touch QScreen and Qt's X connection, which belong to the main thread.
  Q_ASSERT(isMainThread());

  if (sources_->budget != nullptr) sources_->budget->start();
  EnvironmentSnapshot result;
  result.now = now;
  result.cameraInUse = sources_->camera.isCameraInUse();
  result.microphoneInUse = sources_->microphone.isMicrophoneInUse();
  result.activeAppID = sources_->activeApplication.activeAppID();
  const std::optional<ScreenFrame> target = sources_->screens.targetScreen(preferredScreenID);
  result.isFullscreenOnTargetDisplay = sources_->screens.isFullscreenOnScreen(target);
  result.mutedUntil = mutedUntil;
  result.isScreenUnavailable = sources_->availability.isScreenUnavailable();
  return result;
}

}  // namespace vorlane
