#pragma once

#include <optional>
#include <string>

#include "platform/desktop/environment/environment_sources.h"

namespace vorlane {

class X11ActiveApplication;
class X11WindowList;

// Screens as Qt knows them; the active window and the full-screen windows as X knows them.
// Without an X connection (Wayland, offscreen) the main screen is the primary one and no
// window is ever full screen.
class QtScreenGeometry final : public ScreenGeometry {
 public:
  // Both may be null; when given they must outlive this object.
  QtScreenGeometry(X11ActiveApplication* activeWindows, X11WindowList* windows, long ownPid);

  std::optional<ScreenFrame> targetScreen(
      const std::optional<std::string>& preferredScreenID) override;
  bool isFullscreenOnScreen(const std::optional<ScreenFrame>& screen) override;

 private:
  X11ActiveApplication* activeWindows_;
  X11WindowList* windows_;
  long ownPid_;
};

}  // namespace vorlane
