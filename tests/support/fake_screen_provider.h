#pragma once

#include <optional>
#include <vector>

#include "ui/mascot_window/screen_info.h"

namespace vorlane {

// Displays a test plugs in and out; the first is the primary, no active window is known
// unless the test names one.
class FakeScreenProvider final : public ScreenProvider {
 public:
  std::vector<ScreenInfo> screens() override { return displays; }
  std::size_t primaryIndex() override { return primary; }
  std::optional<std::size_t> activeWindowScreen() override { return activeWindow; }

  std::vector<ScreenInfo> displays;
  std::size_t primary = 0;
  std::optional<std::size_t> activeWindow;
};

// A display `height` high (its work area the same), placed at `x`.
inline ScreenInfo display(std::string id, std::string label, int x, int height) {
  const QRect frame(x, 0, 1280, height);
  return ScreenInfo{std::move(id), frame, frame, std::move(label)};
}

}  // namespace vorlane
