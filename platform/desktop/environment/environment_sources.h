#pragma once

#include <optional>
#include <string>

#include "platform/desktop/environment/snapshot_budget.h"
#include "platform/desktop/screens/screen_frame.h"

namespace vorlane {

// The questions the environment probe asks the system, one interface each so that a test
// can answer any of them. Every implementation answers the harmless side (not in use, not
// full screen, available, absent) when it cannot read its state; none of them throws.

class CameraUsage {
 public:
  virtual ~CameraUsage() = default;
  virtual bool isCameraInUse() = 0;
};

class MicrophoneUsage {
 public:
  virtual ~MicrophoneUsage() = default;
  virtual bool isMicrophoneInUse() = 0;
};

class ActiveApplication {
 public:
  virtual ~ActiveApplication() = default;
  // The identifier of the application in front; none when there is no such application or
  // it cannot be named.
  virtual std::optional<std::string> activeAppID() = 0;
};

class ScreenGeometry {
 public:
  virtual ~ScreenGeometry() = default;
  // The screen the mascot lives on: the first whose identifier is `preferredScreenID`, else
  // the main screen; none when there are no screens.
  virtual std::optional<ScreenFrame> targetScreen(
      const std::optional<std::string>& preferredScreenID) = 0;
  // Whether a window of another process fills `screen`; false for no screen.
  virtual bool isFullscreenOnScreen(const std::optional<ScreenFrame>& screen) = 0;
};

class ScreenAvailability {
 public:
  virtual ~ScreenAvailability() = default;
  // Whether the display is asleep or the session locked.
  virtual bool isScreenUnavailable() = 0;
};

// The long-lived sources one probe reads; owned elsewhere, outliving every probe.
struct EnvironmentSources {
  CameraUsage& camera;
  MicrophoneUsage& microphone;
  ActiveApplication& activeApplication;
  ScreenGeometry& screens;
  ScreenAvailability& availability;
  // The waiting time the sources share, started afresh for every snapshot; none for sources
  // that never wait.
  SnapshotBudget* budget = nullptr;
};

}  // namespace vorlane
