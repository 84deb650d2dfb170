#include "platform/desktop/screens/screen_choice.h"

namespace vorlane {

std::optional<std::size_t> screenIndexContaining(const std::vector<ScreenFrame>& screens, double x,
                                                 double y) {
  for (std::size_t i = 0; i < screens.size(); ++i) {
    const ScreenFrame& s = screens[i];
    if (x >= s.x && x < s.x + s.width && y >= s.y && y < s.y + s.height) return i;
  }
  return std::nullopt;
}

std::optional<ScreenFrame> mainScreen(const std::vector<ScreenFrame>& screens,
                                      std::optional<std::size_t> activeWindowScreen,
                                      std::size_t primaryIndex) {
  if (activeWindowScreen && *activeWindowScreen < screens.size()) {
    return screens[*activeWindowScreen];
  }
  if (primaryIndex < screens.size()) return screens[primaryIndex];
  if (!screens.empty()) return screens.front();
  return std::nullopt;
}

std::optional<ScreenFrame> chooseTargetScreen(const std::vector<ScreenFrame>& screens,
                                              const std::optional<std::string>& preferredScreenID,
                                              std::optional<std::size_t> activeWindowScreen,
                                              std::size_t primaryIndex) {
  if (preferredScreenID) {
    for (const ScreenFrame& screen : screens) {
      if (screen.identifier == *preferredScreenID) return screen;
    }
  }
  return mainScreen(screens, activeWindowScreen, primaryIndex);
}

}  // namespace vorlane
