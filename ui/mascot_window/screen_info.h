#pragma once

#include <QRect>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// A display as the mascot sees it, copied out of Qt: a QScreen pointer dangles once its
// display goes, a snapshot does not. Rectangles in logical pixels, origin top left.
struct ScreenInfo {
  std::string id;
  QRect geometry;
  // Without panels and docks (the window manager's work area).
  QRect availableGeometry;
  // How the user knows it: manufacturer and model, else the connector's name.
  std::string label = {};

  bool operator==(const ScreenInfo&) const = default;
};

// The displays now connected, in Qt's order.
class ScreenProvider {
 public:
  virtual ~ScreenProvider() = default;
  virtual std::vector<ScreenInfo> screens() = 0;
  virtual std::size_t primaryIndex() = 0;
  // The display holding the centre of the active window, when one is known.
  virtual std::optional<std::size_t> activeWindowScreen() = 0;
};

}  // namespace vorlane
