#pragma once

#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "core/contracts/notification_service.h"
#include "platform/services/dbus_connection.h"

namespace vorlane {

// Silent desktop notifications over org.freedesktop.Notifications. Both operations return
// at once and report nothing to the caller. Main thread only.
class UserNotificationService final : public NotificationService {
 public:
  // Over the session bus.
  UserNotificationService();
  explicit UserNotificationService(std::unique_ptr<DBusConnection> connection);

  // Asks the notification server for its capabilities (body markup, for one).
  // Only logs the outcome.
  void queryCapabilities() override;
  // Posts one silent notification; it never replaces an earlier one. Failures are ignored.
  void postSilent(const std::string& title, const std::string& body) override;

 private:
  std::unique_ptr<DBusConnection> connection_;
  // The server's capabilities once it has answered.
  std::optional<QStringList> capabilities_;
};

// `&`, `<` and `>` as markup entities, so user text shows as typed on a server that reads
// notification bodies as markup.
QString escapeMarkup(const QString& text);

}  // namespace vorlane
