#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace vorlane::testing {

// Just enough of a desktop's StatusNotifierWatcher for Qt to offer a program's tray icon, and
// the icon's menu, over D-Bus, where a test can open and click it as a tray host would.
class FakeStatusWatcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

 public:
  using QObject::QObject;

  // Takes the watcher's path and well-known name on `connection`; false when either is taken.
  bool publish(QDBusConnection& connection);

  bool isHostRegistered() const { return true; }
  int protocolVersion() const { return 0; }
  // The bus names of the items registered so far, in order.
  QStringList items() const { return items_; }

  // Told each item's bus name as it registers.
  std::function<void(const QString&)> onItem;

 public slots:
  // Items register with their bus name or, some of them, with an object path only.
  void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message);
  void RegisterStatusNotifierHost(const QString&) {}

 private:
  QStringList items_;
};

}  // namespace vorlane::testing
