#pragma once

#include <optional>
#include <vector>

#include "platform/desktop/screens/screen_frame.h"

namespace vorlane {

// A window's frame in device pixels, decorations included.
struct WindowFrame {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

// What the window system tells about one top-level window, as far as it could be read.
struct WindowFacts {
  // The owning process, when the window names one; a window without it belongs to another
  // process.
  std::optional<long> pid;
  // No window type, or the normal one: docks, desktops and overlays never count.
  bool isNormalType = true;
  bool isViewable = false;
  bool isFullscreenState = false;
  bool isHidden = false;
  std::optional<WindowFrame> frame;
};

// Device pixels within which a window edge still counts as the screen's edge: two points.
double fullscreenTolerance(const ScreenFrame& screen);

// Whether the window's width, height, left and top each differ from the screen's by
// strictly less than the tolerance (tested in that order; a NaN never matches).
bool frameFillsScreen(const WindowFrame& window, const ScreenFrame& screen);

// Whether the window is another process's normal, viewable, full-screen, not hidden window
// that fills the screen. The state flag is required as well as the geometry, so that a
// tiling window manager's screen-sized windows do not silence the mascot.
bool windowFillsScreen(const WindowFacts& window, const ScreenFrame& screen, long ownPid);

// Whether any of the windows fills the screen.
bool anyWindowFillsScreen(const std::vector<WindowFacts>& windows, const ScreenFrame& screen,
                          long ownPid);

}  // namespace vorlane
