#include "ui/mascot_window/target_screen.h"

#include <algorithm>

#include "platform/desktop/screens/screen_choice.h"

namespace vorlane {

ScreenInfo chooseMascotScreen(const std::vector<ScreenInfo>& screens,
                              const std::optional<std::string>& preferredScreenID,
                              std::optional<std::size_t> activeWindowScreen,
                              std::size_t primaryIndex) {
  std::vector<ScreenFrame> frames;
  for (const ScreenInfo& s : screens) {
    frames.push_back(ScreenFrame{s.id, double(s.geometry.x()), double(s.geometry.y()),
                                 double(s.geometry.width()), double(s.geometry.height())});
  }
  if (primaryIndex >= frames.size()) primaryIndex = 0;
  const auto chosen =
      chooseTargetScreen(frames, preferredScreenID, activeWindowScreen, primaryIndex);
  if (!chosen) return ScreenInfo{"", QRect(0, 0, 1, 1), QRect(0, 0, 1, 1)};
  return screens[std::size_t(std::find(frames.begin(), frames.end(), *chosen) - frames.begin())];
}

std::optional<ScreenInfo> connectedTargetScreen(const std::vector<ScreenInfo>& screens,
                                                const std::optional<std::string>& preferredScreenID,
                                                std::optional<std::size_t> activeWindowScreen,
                                                std::size_t primaryIndex) {
  if (screens.empty()) return std::nullopt;
  return chooseMascotScreen(screens, preferredScreenID, activeWindowScreen, primaryIndex);
}

ScreenInfo targetScreen(ScreenProvider& provider,
                        const std::optional<std::string>& preferredScreenID) {
  return chooseMascotScreen(provider.screens(), preferredScreenID, provider.activeWindowScreen(),
                            provider.primaryIndex());
}

}  // namespace vorlane
