#include "platform/desktop/session_state/screen_state_readers.h"

#include <xcb/dpms.h>
#include <xcb/screensaver.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariantMap>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/desktop/windows/xcb_reply.h"

namespace vorlane {

namespace {

bool hasExtension(xcb_connection_t* c, xcb_extension_t* extension) {
  const xcb_query_extension_reply_t* data = xcb_get_extension_data(c, extension);
  return data != nullptr && data->present;
}

std::optional<bool> boolIn(const QVariantMap& map, const char* key) {
  const auto found = map.constFind(QString::fromLatin1(key));
  if (found == map.constEnd() || found->typeId() != QMetaType::Bool) return std::nullopt;
  return found->toBool();
}

// The a{sv} of a Properties.GetAll reply; empty when the reply has another shape.
QVariantMap propertyMap(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) return {};
  const QVariant argument = reply.arguments().front();
  if (!argument.canConvert<QDBusArgument>()) return {};
  const QDBusArgument dbusArgument = argument.value<QDBusArgument>();
  if (dbusArgument.currentSignature() != QLatin1String("a{sv}")) return {};
  QVariantMap map;
  dbusArgument >> map;
  return map;
}

std::optional<bool> boolReply(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
    return std::nullopt;
  }
  const QVariant value = reply.arguments().front();
  if (value.typeId() != QMetaType::Bool) return std::nullopt;
  return value.toBool();
}

}  // namespace

X11ScreenState::X11ScreenState(xcb_connection_t* connection) : connection_(connection) {
  if (connection_ == nullptr || xcb_connection_has_error(connection_)) return;
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
  if (it.rem > 0) root_ = it.data->root;
}

void X11ScreenState::read(ScreenStateReadings& readings) {
  if (connection_ == nullptr || xcb_connection_has_error(connection_)) return;
  if (hasExtension(connection_, &xcb_dpms_id)) {
    std::unique_ptr<xcb_dpms_info_reply_t, FreeDeleter> info(
        xcb_dpms_info_reply(connection_, xcb_dpms_info(connection_), nullptr));
    if (info) readings.displayAsleep = dpmsSaysAsleep(info->state != 0, info->power_level);
  }
  if (root_ != XCB_WINDOW_NONE && hasExtension(connection_, &xcb_screensaver_id)) {
    std::unique_ptr<xcb_screensaver_query_info_reply_t, FreeDeleter> info(
        xcb_screensaver_query_info_reply(connection_,
                                         xcb_screensaver_query_info(connection_, root_), nullptr));
    if (info) readings.x11ScreenSaverOn = info->state == XCB_SCREENSAVER_STATE_ON;
  }
}

DBusScreenState::DBusScreenState(QDBusConnection systemBus, QDBusConnection sessionBus,
                                 SnapshotBudget& budget, SlowServiceMemory& slowServices)
    : systemBus_(std::move(systemBus)),
      sessionBus_(std::move(sessionBus)),
      budget_(&budget),
      slowServices_(&slowServices) {}

std::optional<QDBusMessage> DBusScreenState::call(QDBusConnection& bus,
                                                  const QDBusMessage& message) {
  const std::string service = message.service().toStdString();
  if (!slowServices_->mayAsk(service, budget_->now())) return std::nullopt;
  const auto wait = std::min(budget_->left(), std::chrono::milliseconds(250));
  if (wait.count() <= 0) return std::nullopt;  // the snapshot has spent its time
  QDBusMessage reply = bus.call(message, QDBus::Block, static_cast<int>(wait.count()));
  if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")) {
    slowServices_->timedOut(service, budget_->now());
    return std::nullopt;
  }
  slowServices_->answered(service);
  return reply;
}

void DBusScreenState::read(ScreenStateReadings& readings) {
  readSession(readings);
  readScreenSaver(readings);
}

void DBusScreenState::readSession(ScreenStateReadings& readings) {
  if (!systemBus_.isConnected()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"),
      QStringLiteral("/org/freedesktop/login1/session/auto"),
      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
  call << QStringLiteral("org.freedesktop.login1.Session");
  call.setAutoStartService(false);
  const std::optional<QDBusMessage> reply = this->call(systemBus_, call);
  if (!reply) return;
  const QVariantMap properties = propertyMap(*reply);
  readings.sessionLocked = boolIn(properties, "LockedHint");
  readings.sessionActive = boolIn(properties, "Active");
}

void DBusScreenState::readScreenSaver(ScreenStateReadings& readings) {
  if (!sessionBus_.isConnected()) return;
  // GNOME answers under its own name as well; either one saying active is enough.
  static const std::pair<const char*, const char*> services[] = {
      {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver"},
      {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver"},
  };
  for (const auto& [service, path] : services) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(service), QString::fromLatin1(path),
                                       QString::fromLatin1(service), QStringLiteral("GetActive"));
    call.setAutoStartService(false);
    const std::optional<QDBusMessage> reply = this->call(sessionBus_, call);
    if (!reply) continue;
    if (const std::optional<bool> active = boolReply(*reply)) {
      readings.screenSaverActive = *active;
      if (*active) return;
    }
  }
}

bool CombinedScreenAvailability::isScreenUnavailable() {
  ScreenStateReadings readings;
  for (ScreenStateReader* reader : readers_) reader->read(readings);
  return screenUnavailable(readings);
}

}  // namespace vorlane
