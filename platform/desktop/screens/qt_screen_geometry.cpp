#include "platform/desktop/screens/qt_screen_geometry.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/desktop/screens/screen_choice.h"
#include "platform/desktop/screens/screen_identifier.h"
#include "platform/desktop/windows/fullscreen_rules.h"
#include "platform/desktop/windows/x11_active_application.h"
#include "platform/desktop/windows/x11_window_list.h"

namespace vorlane {

QtScreenGeometry::QtScreenGeometry(X11ActiveApplication* activeWindows, X11WindowList* windows,
                                   long ownPid)
    : activeWindows_(activeWindows), windows_(windows), ownPid_(ownPid) {}

std::optional<ScreenFrame> QtScreenGeometry::targetScreen(
    const std::optional<std::string>& preferredScreenID) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return std::nullopt;
  std::vector<ScreenFrame> frames;
  std::size_t primaryIndex = 0;
  const QList<QScreen*> screens = QGuiApplication::screens();
  for (QScreen* screen : screens) {
    if (screen == QGuiApplication::primaryScreen()) primaryIndex = frames.size();
    frames.push_back(screenFrame(*screen));
  }

  std::optional<std::size_t> activeScreen;
  if (activeWindows_ != nullptr && windows_ != nullptr && !frames.empty()) {
    if (const auto window = activeWindows_->activeWindow()) {
      if (const auto frame = windows_->frame(*window)) {
        activeScreen = screenIndexContaining(frames, frame->x + frame->width / 2,
                                             frame->y + frame->height / 2);
      }
    }
  }
  return chooseTargetScreen(frames, preferredScreenID, activeScreen, primaryIndex);
}

bool QtScreenGeometry::isFullscreenOnScreen(const std::optional<ScreenFrame>& screen) {
  if (!screen || windows_ == nullptr) return false;
  return anyWindowFillsScreen(windows_->fullscreenCandidates(), *screen, ownPid_);
}

}  // namespace vorlane
