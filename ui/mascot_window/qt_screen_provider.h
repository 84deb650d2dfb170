#pragma once

#include "ui/mascot_window/screen_info.h"

namespace vorlane {

class X11ActiveApplication;
class X11WindowList;

// The displays Qt knows; the active window's display as X knows it. Without an X
// connection (offscreen, Wayland) no active window is known and the primary display leads.
class QtScreenProvider final : public ScreenProvider {
 public:
  // Both may be null; when given they must outlive this object.
  QtScreenProvider(X11ActiveApplication* activeWindows, X11WindowList* windows);

  std::vector<ScreenInfo> screens() override;
  std::size_t primaryIndex() override;
  std::optional<std::size_t> activeWindowScreen() override;

 private:
  X11ActiveApplication* activeWindows_;
  X11WindowList* windows_;
};

}  // namespace vorlane
