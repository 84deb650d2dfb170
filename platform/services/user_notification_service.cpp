#include "platform/services/user_notification_service.h"

#include <QDBusMessage>
#include <QVariantMap>

#include "platform/logging/log.h"
#include "platform/logging/main_thread.h"

namespace vorlane {
namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

QDBusMessage methodCall(const QString& method) {
  return QDBusMessage::createMethodCall(service, path, interface, method);
}

}  // namespace

QString escapeMarkup(const QString& text) {
  QString escaped;
  escaped.reserve(text.size());
  for (const QChar c : text) {
    switch (c.unicode()) {
      case '&':
        escaped += QStringLiteral("&amp;");
        break;
      case '<':
        escaped += QStringLiteral("&lt;");
        break;
      case '>':
        escaped += QStringLiteral("&gt;");
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

UserNotificationService::UserNotificationService()
    : UserNotificationService(std::make_unique<QtDBusConnection>()) {}

UserNotificationService::UserNotificationService(std::unique_ptr<DBusConnection> connection)
    : connection_(std::move(connection)) {}

void UserNotificationService::queryCapabilities() {
  Q_ASSERT(isMainThread());
  connection_->call(
      methodCall(QStringLiteral("GetCapabilities")), [this](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage) {
          Log::lifecycle().error("notification authorization failed: %s",
                                 reply.errorMessage().toStdString());
          return;
        }
        const QVariantList arguments = reply.arguments();
        capabilities_ = arguments.isEmpty() ? QStringList() : arguments.first().toStringList();
        Log::lifecycle().info("notification authorization granted: %{bool}d", true);
      });
}

void UserNotificationService::postSilent(const std::string& title, const std::string& body) {
  Q_ASSERT(isMainThread());
  // Until the server has told us, assume it reads markup: escaping shows at worst "&amp;".
  const bool markup = !capabilities_ || capabilities_->contains(QStringLiteral("body-markup"));
  const QString text = QString::fromStdString(body);
  QVariantMap hints;
  hints.insert(QStringLiteral("suppress-sound"), true);
  hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("com.corvantis.vorlane"));

  QDBusMessage notify = methodCall(QStringLiteral("Notify"));
  // Exactly the types of the signature "susssasa{sv}i": replaces_id is unsigned.
  notify << QStringLiteral("Vorlane") << uint(0) << QString() << QString::fromStdString(title)
         << (markup ? escapeMarkup(text) : text) << QStringList() << hints << int(-1);
  connection_->send(notify);
}

}  // namespace vorlane
