// Stands in for a service that has hung, for the end-to-end tests: owns each name given on
// the command line on the session bus and takes every call made to it, on any path, without
// ever answering, as a process stuck in a loop or a wait would. The caller waits for its
// reply until its own time limit. Prints "ready" on descriptor 3 once every name is owned,
// then "call <interface>.<member>" for every call it takes.
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <string>

namespace {

void report(const std::string& line) {
  const std::string text = line + "\n";
  [[maybe_unused]] const auto written = write(3, text.data(), text.size());
}

struct Silent final : QDBusVirtualObject {
  bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
    if (message.type() == QDBusMessage::MethodCallMessage) {
      report("call " + (message.interface() + '.' + message.member()).toStdString());
    }
    return true;
  }
  QString introspect(const QString&) const override { return {}; }
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected() || argc < 2) return 1;
  Silent silent;
  if (!session.registerVirtualObject(QStringLiteral("/"), &silent, QDBusConnection::SubPath)) {
    return 1;
  }
  for (int i = 1; i < argc; ++i) {
    if (!session.registerService(QString::fromLocal8Bit(argv[i]))) return 1;
  }
  report("ready");
  return app.exec();
}
