#include "platform/services/dbus_connection.h"

#include <QDBusError>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace vorlane {

QtDBusConnection::QtDBusConnection() : QtDBusConnection(QDBusConnection::sessionBus()) {}

QtDBusConnection::QtDBusConnection(QDBusConnection connection)
    : connection_(std::move(connection)) {}

void QtDBusConnection::send(const QDBusMessage& call) {
  if (connection_.isConnected()) {
    connection_.send(call);
  }
}

void QtDBusConnection::call(const QDBusMessage& call, ReplyHandler onReply) {
  if (!connection_.isConnected()) {
    QDBusError reason = connection_.lastError();
    if (!reason.isValid()) {
      reason = QDBusError(QDBusError::Disconnected, QStringLiteral("Not connected to a bus"));
    }
    const QDBusMessage error = call.createErrorReply(reason);
    // Answered later, like every reply, never inside this call.
    QMetaObject::invokeMethod(
        &context_, [onReply, error] { onReply(error); }, Qt::QueuedConnection);
    return;
  }
  auto* watcher =
      new QDBusPendingCallWatcher(connection_.asyncCall(call, callTimeoutMs), &context_);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &context_,
                   [onReply](QDBusPendingCallWatcher* finished) {
                     finished->deleteLater();
                     onReply(finished->reply());
                   });
}

}  // namespace vorlane
