#include "platform/desktop/hot_keys/hot_key_backend.h"

#include <QDBusMessage>

#include "platform/desktop/hot_keys/global_hot_key.h"
#include "platform/desktop/hot_keys/hot_key_mapping.h"
#include "platform/desktop/hot_keys/portal_hot_key.h"
#include "platform/desktop/session_state/portal_names.h"
#include "platform/desktop/session_state/wayland_session.h"
#include "platform/logging/log.h"

namespace vorlane {

namespace {

constexpr int noPlatformStatus = -1;

bool portalOffersShortcuts(QDBusConnection& bus) {
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      portal::service, portal::path, QStringLiteral("org.freedesktop.DBus.Properties"),
      QStringLiteral("Get"));
  call << portal::shortcutsInterface << QStringLiteral("version");
  // The portal is often started on demand: this call may start it.
  return bus.call(call, QDBus::Block, 250).type() == QDBusMessage::ReplyMessage;
}

// What the portal shows the user for the shortcut: its keys as the menus name them.
QString describe(std::uint32_t keySym, Qt::KeyboardModifiers modifiers) {
  QString text;
  if (modifiers & Qt::ControlModifier) text += QStringLiteral("Ctrl+");
  if (modifiers & Qt::AltModifier) text += QStringLiteral("Alt+");
  if (modifiers & Qt::MetaModifier) text += QStringLiteral("Super+");
  if (modifiers & Qt::ShiftModifier) text += QStringLiteral("Shift+");
  if (keySym == 0x20) return text + QStringLiteral("Space");
  return text + QString(QChar(char16_t(keySym))).toUpper();
}

}  // namespace

HotKeyRoute chooseHotKeyRoute(bool waylandSession, bool portalOffersShortcuts) {
  if (!waylandSession) return HotKeyRoute::x11Grab;
  return portalOffersShortcuts ? HotKeyRoute::portal : HotKeyRoute::none;
}

HotKeyBackend HotKeyBackend::forThisSession(QDBusConnection sessionBus) {
  const bool wayland = isWaylandSession();
  const bool portal = wayland && portalOffersShortcuts(sessionBus);
  return HotKeyBackend(chooseHotKeyRoute(wayland, portal), std::move(sessionBus));
}

std::unique_ptr<HotKeyHandle> HotKeyBackend::create(std::uint32_t keySym,
                                                    Qt::KeyboardModifiers modifiers,
                                                    std::uint32_t identifier,
                                                    Handler handler) const {
  switch (route_) {
    case HotKeyRoute::x11Grab:
      return GlobalHotKey::create(keySym, modifiers, identifier, std::move(handler));
    case HotKeyRoute::portal: {
      const std::optional<std::string> trigger = portalTriggerFor(keySym, modifiers);
      return PortalHotKey::create(bus_, identifier,
                                  QString::fromStdString(trigger.value_or(std::string())),
                                  describe(keySym, modifiers), std::move(handler));
    }
    case HotKeyRoute::none:
      break;
  }
  Log::lifecycle().error("failed to register hotkey: %d", noPlatformStatus);
  return nullptr;
}

}  // namespace vorlane
