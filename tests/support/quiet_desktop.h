#pragma once

#include <optional>
#include <string>

#include "platform/desktop/environment/environment_sources.h"

namespace vorlane::testing {

// The environment's questions that have no service behind them, answered at once: no camera
// in use, no application in front, no screen, nothing full screen.
struct QuietDesktop final : CameraUsage, ActiveApplication, ScreenGeometry {
  bool isCameraInUse() override { return false; }
  std::optional<std::string> activeAppID() override { return std::nullopt; }
  std::optional<ScreenFrame> targetScreen(const std::optional<std::string>&) override {
    return std::nullopt;
  }
  bool isFullscreenOnScreen(const std::optional<ScreenFrame>&) override { return false; }
};

}  // namespace vorlane::testing
