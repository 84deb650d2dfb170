#include "ui/mascot_window/qt_screen_provider.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/desktop/screens/screen_choice.h"
#include "platform/desktop/screens/screen_identifier.h"
#include "platform/desktop/windows/x11_active_application.h"
#include "platform/desktop/windows/x11_window_list.h"

namespace vorlane {

QtScreenProvider::QtScreenProvider(X11ActiveApplication* activeWindows, X11WindowList* windows)
    : activeWindows_(activeWindows), windows_(windows) {}

std::vector<ScreenInfo> QtScreenProvider::screens() {
  std::vector<ScreenInfo> infos;
  for (QScreen* screen : QGuiApplication::screens()) {
    infos.push_back(ScreenInfo{screenIdentifier(*screen), screen->geometry(),
                               screen->availableGeometry(), screenLabel(*screen)});
  }
  return infos;
}

std::size_t QtScreenProvider::primaryIndex() {
  const auto screens = QGuiApplication::screens();
  const auto index = screens.indexOf(QGuiApplication::primaryScreen());
  return index < 0 ? 0 : std::size_t(index);
}

std::optional<std::size_t> QtScreenProvider::activeWindowScreen() {
  if (activeWindows_ == nullptr || windows_ == nullptr) return std::nullopt;
  const auto window = activeWindows_->activeWindow();
  if (!window) return std::nullopt;
  const auto frame = windows_->frame(*window);
  if (!frame) return std::nullopt;
  // X reports device pixels; compare with the displays in the same units.
  std::vector<ScreenFrame> frames;
  for (QScreen* screen : QGuiApplication::screens()) frames.push_back(screenFrame(*screen));
  return screenIndexContaining(frames, frame->x + frame->width / 2, frame->y + frame->height / 2);
}

}  // namespace vorlane
