#include "platform/desktop/hot_keys/portal_hot_key.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "platform/desktop/session_state/portal_names.h"
#include "platform/logging/log.h"

namespace vorlane {

namespace {

// Our own status for failures that have no portal response code.
constexpr int noPortalStatus = -1;

// One entry of BindShortcuts' a(sa{sv}).
struct PortalShortcut {
  QString id;
  QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
  argument.beginStructure();
  argument << shortcut.id << shortcut.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
  argument.beginStructure();
  argument >> shortcut.id >> shortcut.properties;
  argument.endStructure();
  return argument;
}

// Tokens name our requests and sessions; unique within the process.
QString nextToken() {
  static int counter = 0;
  return QStringLiteral("vorlane%1").arg(++counter);
}

// The portal places a request at a path made of our unique bus name and the token.
QString requestPathFor(const QDBusConnection& bus, const QString& token) {
  QString sender = bus.baseService().mid(1);  // ":1.42" → "1_42"
  sender.replace(QLatin1Char('.'), QLatin1Char('_'));
  return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

// The session handle of CreateSession's results: a string, or an object path on some portals.
QString sessionHandleIn(const QVariantMap& results) {
  const QVariant handle = results.value(QStringLiteral("session_handle"));
  if (handle.canConvert<QDBusObjectPath>() && handle.typeId() == qMetaTypeId<QDBusObjectPath>()) {
    return handle.value<QDBusObjectPath>().path();
  }
  return handle.typeId() == QMetaType::QString ? handle.toString() : QString();
}

}  // namespace

}  // namespace vorlane

Q_DECLARE_METATYPE(vorlane::PortalShortcut)

namespace vorlane {

PortalHotKey::PortalHotKey(QDBusConnection bus, std::uint32_t identifier, QString trigger,
                           QString description, Handler handler)
    : bus_(std::move(bus)),
      identifier_(identifier),
      trigger_(std::move(trigger)),
      description_(std::move(description)),
      handler_(std::move(handler)),
      shortcutID_(QStringLiteral("hotkey-%1").arg(identifier)) {}

std::unique_ptr<PortalHotKey> PortalHotKey::create(QDBusConnection bus, std::uint32_t identifier,
                                                   QString trigger, QString description,
                                                   Handler handler) {
  std::unique_ptr<PortalHotKey> hotKey(new PortalHotKey(
      std::move(bus), identifier, std::move(trigger), std::move(description), std::move(handler)));
  hotKey->start();
  return hotKey;
}

PortalHotKey::~PortalHotKey() {
  stopListening();
  if (!session_.isEmpty()) {
    bus_.send(QDBusMessage::createMethodCall(portal::service, session_, portal::sessionInterface,
                                             QStringLiteral("Close")));
  }
}

void PortalHotKey::start() {
  if (!bus_.isConnected()) return fail(noPortalStatus);
  const QString token = nextToken();
  const QVariantMap options{{QStringLiteral("handle_token"), token},
                            {QStringLiteral("session_handle_token"), nextToken()}};
  request(QStringLiteral("CreateSession"), {options}, token,
          SLOT(onSessionCreated(uint, QVariantMap)));
}

void PortalHotKey::request(const QString& method, const QList<QVariant>& arguments,
                           const QString& token, const char* slot) {
  // Listen before calling: the response may come before the call's own reply.
  listenForResponse(requestPathFor(bus_, token), slot);
  QDBusMessage call = QDBusMessage::createMethodCall(portal::service, portal::path,
                                                     portal::shortcutsInterface, method);
  call.setArguments(arguments);
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, slot](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            const QDBusPendingReply<QDBusObjectPath> reply = *finished;
            if (reply.isError()) return fail(noPortalStatus);
            // Older portals choose the request path themselves.
            const QString path = reply.value().path();
            if (path != requestPath_ && responseSlot_ == slot) listenForResponse(path, slot);
          });
}

void PortalHotKey::listenForResponse(const QString& path, const char* slot) {
  stopListening();
  requestPath_ = path;
  responseSlot_ = slot;
  bus_.connect(portal::service, path, portal::requestInterface, QStringLiteral("Response"), this,
               slot);
}

void PortalHotKey::stopListening() {
  if (responseSlot_ == nullptr) return;
  bus_.disconnect(portal::service, requestPath_, portal::requestInterface,
                  QStringLiteral("Response"), this, responseSlot_);
  responseSlot_ = nullptr;
}

void PortalHotKey::onSessionCreated(uint response, const QVariantMap& results) {
  stopListening();
  if (failed_) return;
  if (response != 0) return fail(int(response));
  session_ = sessionHandleIn(results);
  if (session_.isEmpty()) return fail(noPortalStatus);
  bus_.connect(portal::service, portal::path, portal::shortcutsInterface,
               QStringLiteral("Activated"), this,
               SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));

  qDBusRegisterMetaType<PortalShortcut>();
  qDBusRegisterMetaType<QList<PortalShortcut>>();
  QVariantMap properties{{QStringLiteral("description"), description_}};
  if (!trigger_.isEmpty()) properties.insert(QStringLiteral("preferred_trigger"), trigger_);
  const QList<PortalShortcut> shortcuts{{shortcutID_, properties}};
  const QString token = nextToken();
  request(QStringLiteral("BindShortcuts"),
          {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts),
           QString(), QVariantMap{{QStringLiteral("handle_token"), token}}},
          token, SLOT(onBound(uint, QVariantMap)));
}

void PortalHotKey::onBound(uint response, const QVariantMap&) {
  stopListening();
  if (failed_) return;
  if (response != 0) return fail(int(response));
  bound_ = true;
  Log::lifecycle().info("hotkey registered with identifier %u", identifier_);
}

void PortalHotKey::onActivated(const QDBusObjectPath& session, const QString& shortcutID,
                               qulonglong, const QVariantMap&) {
  if (!bound_ || session.path() != session_ || shortcutID != shortcutID_) return;
  // The action may destroy this instance: call a copy and touch nothing afterwards.
  const Handler action = handler_;
  if (action) action();
}

void PortalHotKey::fail(int status) {
  if (failed_) return;
  failed_ = true;
  stopListening();
  Log::lifecycle().error("failed to register hotkey: %d", status);
}

}  // namespace vorlane
