// Stands in for logind on the bus that DBUS_SYSTEM_BUS_ADDRESS names, and for the screen
// saver on the session bus, for the end-to-end tests. The test drives it with method calls
// on com.corvantis.vorlane.FakeDesktop at /com/corvantis/vorlane/FakeDesktop on the system bus
// (dbus-send):
//   Lock(b)         the session's Lock or Unlock signal and its LockedHint
//   Sleep(b)        PrepareForSleep(b)
//   ScreenSaver(b)  ActiveChanged(b) and what GetActive answers
//   Answer(b)       whether logind and the screen saver answer calls: false takes every call
//                   and answers none, as a service that has hung
// Prints "ready" on descriptor 3 once both names are owned.
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <functional>

namespace {

const QString sessionPath = QStringLiteral("/org/freedesktop/login1/session/e2e");
const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");

struct State {
  bool locked = false;
  bool screenSaverActive = false;
  bool answering = true;
};

// Answers every call on its path through `handle`, unless `answering` says no.
struct Object final : QDBusVirtualObject {
  std::function<void(const QDBusMessage&, const QDBusConnection&)> handle;
  const bool* answering = nullptr;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (answering == nullptr || *answering) handle(message, connection);
    return true;
  }
  QString introspect(const QString&) const override { return {}; }
};

QVariantMap sessionProperties(const State& state) {
  return {{QStringLiteral("Id"), QStringLiteral("e2e")},
          {QStringLiteral("Active"), true},
          {QStringLiteral("LockedHint"), state.locked}};
}

void emitSignal(QDBusConnection bus, const QString& path, const QString& interface,
                const QString& name, const QVariantList& arguments) {
  QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
  signal.setArguments(arguments);
  bus.send(signal);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QDBusConnection system = QDBusConnection::systemBus();
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!system.isConnected() || !session.isConnected()) return 1;
  State state;

  Object properties;  // the "auto" session and the real one answer alike
  properties.answering = &state.answering;
  properties.handle = [&](const QDBusMessage& m, const QDBusConnection& c) {
    const QVariantMap all = sessionProperties(state);
    if (m.member() == QLatin1String("Get")) {
      c.send(m.createReply(
          QVariant::fromValue(QDBusVariant(all.value(m.arguments().value(1).toString())))));
    } else if (m.member() == QLatin1String("GetAll")) {
      c.send(m.createReply(all));
    }
  };
  Object manager;
  manager.answering = &state.answering;
  manager.handle = [&](const QDBusMessage& m, const QDBusConnection& c) {
    if (m.member() == QLatin1String("GetSession")) {
      c.send(m.createReply(QVariant::fromValue(QDBusObjectPath(sessionPath))));
    }
  };
  Object control;
  control.handle = [&](const QDBusMessage& m, const QDBusConnection& c) {
    const bool on = m.arguments().value(0).toBool();
    if (m.member() == QLatin1String("Lock")) {
      state.locked = on;
      emitSignal(system, sessionPath, sessionInterface,
                 on ? QStringLiteral("Lock") : QStringLiteral("Unlock"), {});
      emitSignal(
          system, sessionPath, QStringLiteral("org.freedesktop.DBus.Properties"),
          QStringLiteral("PropertiesChanged"),
          {sessionInterface, QVariantMap{{QStringLiteral("LockedHint"), on}}, QStringList()});
    } else if (m.member() == QLatin1String("Sleep")) {
      emitSignal(system, QStringLiteral("/org/freedesktop/login1"),
                 QStringLiteral("org.freedesktop.login1.Manager"),
                 QStringLiteral("PrepareForSleep"), {on});
    } else if (m.member() == QLatin1String("Answer")) {
      state.answering = on;
    } else if (m.member() == QLatin1String("ScreenSaver")) {
      state.screenSaverActive = on;
      emitSignal(session, QStringLiteral("/org/freedesktop/ScreenSaver"),
                 QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("ActiveChanged"),
                 {on});
    }
    c.send(m.createReply());
  };
  Object screenSaver;
  screenSaver.answering = &state.answering;
  screenSaver.handle = [&](const QDBusMessage& m, const QDBusConnection& c) {
    if (m.member() == QLatin1String("GetActive")) c.send(m.createReply(state.screenSaverActive));
  };

  const bool registered =
      system.registerVirtualObject(QStringLiteral("/org/freedesktop/login1/session/auto"),
                                   &properties) &&
      system.registerVirtualObject(sessionPath, &properties) &&
      system.registerVirtualObject(QStringLiteral("/org/freedesktop/login1"), &manager) &&
      system.registerVirtualObject(QStringLiteral("/com/corvantis/vorlane/FakeDesktop"),
                                   &control) &&
      system.registerService(QStringLiteral("org.freedesktop.login1")) &&
      session.registerVirtualObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &screenSaver) &&
      session.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
  if (!registered) return 1;
  if (write(3, "ready\n", 6) != 6) return 1;
  close(3);
  return app.exec();
}
