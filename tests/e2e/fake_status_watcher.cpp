// Stands in for a desktop's StatusNotifierWatcher on the session bus, so that a program
// started after it offers its tray icon, and the icon's menu, over D-Bus, where a test can
// open and click it as a tray host would. Prints "ready" on descriptor 3 once the name is
// owned, then "item <service>" for every item that registers.
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <string>

namespace {

void report(const std::string& line) {
  const std::string text = line + "\n";
  [[maybe_unused]] const auto written = write(3, text.data(), text.size());
}

}  // namespace

class FakeStatusWatcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

 public:
  bool isHostRegistered() const { return true; }
  int protocolVersion() const { return 0; }
  QStringList items() const { return items_; }

 public slots:
  // Items register with their bus name or, some of them, with an object path only.
  void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message) {
    const QString name = service.startsWith('/') ? message.service() : service;
    items_.push_back(name);
    report("item " + name.toStdString());
  }
  void RegisterStatusNotifierHost(const QString&) {}

 private:
  QStringList items_;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected()) return 1;
  FakeStatusWatcher watcher;
  if (!session.registerObject(
          "/StatusNotifierWatcher", &watcher,
          QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) ||
      !session.registerService("org.kde.StatusNotifierWatcher")) {
    return 1;
  }
  report("ready");
  return app.exec();
}

#include "fake_status_watcher.moc"
