#include "tests/support/fake_status_watcher.h"

namespace vorlane::testing {

bool FakeStatusWatcher::publish(QDBusConnection& connection) {
  return connection.registerObject(
             QStringLiteral("/StatusNotifierWatcher"), this,
             QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) &&
         connection.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

void FakeStatusWatcher::RegisterStatusNotifierItem(const QString& service,
                                                   const QDBusMessage& message) {
  const QString name = service.startsWith(QLatin1Char('/')) ? message.service() : service;
  items_.push_back(name);
  if (onItem) onItem(name);
}

}  // namespace vorlane::testing
