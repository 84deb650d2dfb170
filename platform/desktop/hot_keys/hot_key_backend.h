#pragma once

#include <QtCore/qnamespace.h>

#include <QDBusConnection>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/desktop/hot_keys/hot_key_handle.h"

namespace vorlane {

// How this session can have system-wide shortcuts.
enum class HotKeyRoute {
  x11Grab,  // an X session: key grabs on Qt's X connection
  portal,   // a Wayland session whose desktop portal offers GlobalShortcuts
  none,     // a Wayland session without it: X grabs would only see keys while an X window
            // has focus, which the mascot never takes, so nothing is registered
};

HotKeyRoute chooseHotKeyRoute(bool waylandSession, bool portalOffersShortcuts);

// Makes system-wide shortcuts the way the session allows, chosen once at start.
class HotKeyBackend {
 public:
  using Handler = std::function<void()>;

  // Looks at the session; on Wayland asks the portal on `sessionBus` (250 ms at most) whether
  // it offers GlobalShortcuts.
  static HotKeyBackend forThisSession(QDBusConnection sessionBus = QDBusConnection::sessionBus());

  HotKeyBackend(HotKeyRoute route, QDBusConnection sessionBus)
      : route_(route), bus_(std::move(sessionBus)) {}

  HotKeyRoute route() const { return route_; }

  // Same terms as GlobalHotKey::create: the X grab, or the portal's shortcut (which reports
  // its outcome in the log when the portal answers), or null with "failed to register
  // hotkey: -1" on the lifecycle log when the session offers no way.
  [[nodiscard]] std::unique_ptr<HotKeyHandle> create(std::uint32_t keySym,
                                                     Qt::KeyboardModifiers modifiers,
                                                     std::uint32_t identifier,
                                                     Handler handler) const;

 private:
  HotKeyRoute route_;
  QDBusConnection bus_;
};

}  // namespace vorlane
