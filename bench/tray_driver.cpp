// Drives the program's tray menu for the application benchmark, as a tray host does: it
// stands in for the desktop's StatusNotifierWatcher (start it before the program, which looks
// for one only at launch), then reads one command a line on its input and answers one line on
// its output:
//   wait                  "item <service>" once the program's icon has registered
//   choose A > B          clicks entry B below entry A: "ok <id>", "missing ..." or "disabled ..."
//   labels                "labels <the enabled entries, | between them>"
// It prints "ready" when it owns the watcher's name and ends when its input closes.
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QSocketNotifier>
#include <QStringList>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "bench/tray_driver_command.h"
#include "tests/support/tray_menu_layout.h"

namespace {

using vorlane::TrayDriverCommand;

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// dbus-send's printout of one call to the item, none when the call failed.
std::optional<std::string> callItem(const std::string& item, const std::string& path,
                                    const std::string& method, const std::string& arguments) {
  const std::string command = "dbus-send --session --print-reply --dest=" + shellQuoted(item) +
                              " " + shellQuoted(path) + " " + method + " " + arguments +
                              " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  return pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
}

void reply(const std::string& line) { std::cout << line << std::endl; }

}  // namespace

class TrayDriver : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

 public:
  bool isHostRegistered() const { return true; }
  int protocolVersion() const { return 0; }
  QStringList items() const { return item_.empty() ? QStringList() : QStringList{qItem()}; }

  void run(const std::string& line) {
    const auto command = vorlane::parseTrayDriverCommand(line);
    if (!command) return reply("unknown " + line);
    switch (command->verb) {
      case TrayDriverCommand::Verb::wait:
        waiting_ = true;
        answerWait();
        return;
      case TrayDriverCommand::Verb::labels:
        return reply("labels " + vorlane::enabledTrayLabels(readMenu()));
      case TrayDriverCommand::Verb::choose: {
        // The submenus on the way open as a host opens them: some make their entries then.
        if (!findMenu()) return reply("missing " + line);
        const auto entries = vorlane::testing::openTrayMenuPath(
            command->path, [this](int id) { aboutToShow(id); }, [this] { return layout(); });
        const std::string answer = vorlane::trayChoiceReply(entries, command->path);
        if (!answer.starts_with("ok ")) return reply(answer);
        const bool clicked =
            callItem(item_, menuPath_, "com.canonical.dbusmenu.Event",
                     "int32:" + answer.substr(3) + " string:clicked variant:int32:0 uint32:0")
                .has_value();
        return reply(clicked ? answer : "failed " + line);
      }
    }
  }

 public slots:
  // Items register with their bus name or, some of them, with an object path only.
  void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message) {
    item_ = (service.startsWith('/') ? message.service() : service).toStdString();
    menuPath_.clear();
    answerWait();
  }
  void RegisterStatusNotifierHost(const QString&) {}

 private:
  QString qItem() const { return QString::fromStdString(item_); }

  void answerWait() {
    if (!waiting_ || item_.empty()) return;
    waiting_ = false;
    reply("item " + item_);
  }

  // The menu as a host reads it before showing it; nothing before the item has registered.
  std::vector<vorlane::testing::TrayMenuEntry> readMenu() {
    if (!findMenu()) return {};
    aboutToShow(0);
    return layout();
  }

  // Whether the item has registered and its menu's path is known.
  bool findMenu() {
    if (item_.empty()) return false;
    if (menuPath_.empty()) {
      const auto property =
          callItem(item_, "/StatusNotifierItem", "org.freedesktop.DBus.Properties.Get",
                   "string:org.kde.StatusNotifierItem string:Menu");
      const auto at = property ? property->find("object path \"") : std::string::npos;
      if (at == std::string::npos) return false;
      menuPath_ = property->substr(at + 13, property->find('"', at + 13) - (at + 13));
    }
    return true;
  }
  // The menu (0) or one of its submenus opens.
  void aboutToShow(int id) {
    callItem(item_, menuPath_, "com.canonical.dbusmenu.AboutToShow", "int32:" + std::to_string(id));
  }
  std::vector<vorlane::testing::TrayMenuEntry> layout() {
    const auto printout = callItem(item_, menuPath_, "com.canonical.dbusmenu.GetLayout",
                                   "int32:0 int32:-1 array:string:");
    return vorlane::testing::parseTrayMenuLayout(printout.value_or(""));
  }

  std::string item_;
  std::string menuPath_;
  bool waiting_ = false;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected()) {
    std::cerr << "vorlane_tray_driver: no session bus\n";
    return 1;
  }
  TrayDriver driver;
  if (!session.registerObject(
          "/StatusNotifierWatcher", &driver,
          QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) ||
      !session.registerService("org.kde.StatusNotifierWatcher")) {
    std::cerr << "vorlane_tray_driver: the watcher's name is taken\n";
    return 1;
  }
  std::string pending;
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
    char buffer[1024];
    const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
      input.setEnabled(false);
      QCoreApplication::quit();
      return;
    }
    pending.append(buffer, size_t(n));
    for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      driver.run(line);
    }
  });
  reply("ready");
  return app.exec();
}

#include "tray_driver.moc"
