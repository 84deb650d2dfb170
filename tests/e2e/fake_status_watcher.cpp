// Stands in for a desktop's StatusNotifierWatcher on the session bus, so that a program
// started after it offers its tray icon over D-Bus. Prints "ready" on descriptor 3 once the
// name is owned, then "item <service>" for every item that registers.
#include "tests/support/fake_status_watcher.h"

#include <unistd.h>

#include <QCoreApplication>
#include <string>

namespace {

void report(const std::string& line) {
  const std::string text = line + "\n";
  [[maybe_unused]] const auto written = write(3, text.data(), text.size());
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected()) return 1;
  vorlane::testing::FakeStatusWatcher watcher;
  watcher.onItem = [](const QString& name) { report("item " + name.toStdString()); };
  if (!watcher.publish(session)) return 1;
  report("ready");
  return app.exec();
}
