#include "platform/desktop/hot_keys/hot_key_backend.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QThread>
#include <atomic>
#include <chrono>

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/hot_keys/hot_key_mapping.h"
#include "platform/desktop/session_state/wayland_session.h"
#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"
#include "tests/support/private_bus_test.h"

namespace vorlane {
namespace {

const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// The session environment of a test, restored afterwards.
class SessionVariables {
 public:
  SessionVariables(const char* waylandDisplay, const char* sessionType) {
    for (const char* name : names) {
      const char* value = std::getenv(name);
      saved_.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
    }
    set("WAYLAND_DISPLAY", waylandDisplay);
    set("XDG_SESSION_TYPE", sessionType);
  }
  ~SessionVariables() {
    for (std::size_t i = 0; i < std::size(names); ++i) {
      set(names[i], saved_[i] ? saved_[i]->c_str() : nullptr);
    }
  }

 private:
  static void set(const char* name, const char* value) {
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  static constexpr const char* names[] = {"WAYLAND_DISPLAY", "XDG_SESSION_TYPE"};
  std::vector<std::optional<std::string>> saved_;
};

// A desktop portal that offers GlobalShortcuts: sessions are created at once and binding
// answers `bindResponse`. It remembers what was bound and which sessions were closed.
struct FakePortal final : QDBusVirtualObject {
  std::atomic<uint> bindResponse = 0;
  mutable QMutex mutex;
  QString boundID, boundTrigger, boundDescription, session;
  QStringList closed;

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    QDBusConnection bus = connection;
    const QString member = message.member();
    if (member == QLatin1String("Get")) {
      bus.send(message.createReply(QVariant::fromValue(QDBusVariant(uint(1)))));
    } else if (member == QLatin1String("CreateSession")) {
      const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().at(0));
      const QString created = portalPath + "/session/" + sender(message) + "/" +
                              options.value("session_handle_token").toString();
      {
        QMutexLocker lock(&mutex);
        session = created;
      }
      respond(bus, message, options, 0, {{"session_handle", created}});
    } else if (member == QLatin1String("BindShortcuts")) {
      const QDBusArgument shortcuts = message.arguments().at(1).value<QDBusArgument>();
      shortcuts.beginArray();
      while (!shortcuts.atEnd()) {
        QString id;
        QVariantMap properties;
        shortcuts.beginStructure();
        shortcuts >> id >> properties;
        shortcuts.endStructure();
        QMutexLocker lock(&mutex);
        boundID = id;
        boundTrigger = properties.value("preferred_trigger").toString();
        boundDescription = properties.value("description").toString();
      }
      shortcuts.endArray();
      respond(bus, message, qdbus_cast<QVariantMap>(message.arguments().at(3)), bindResponse, {});
    } else if (member == QLatin1String("Close")) {
      QMutexLocker lock(&mutex);
      closed << message.path();
    }
    return true;
  }
  QString introspect(const QString&) const override { return {}; }

  static QString sender(const QDBusMessage& message) {
    return message.service().mid(1).replace('.', '_');
  }
  // Replies with the request path, then sends the request's Response.
  static void respond(QDBusConnection& bus, const QDBusMessage& message, const QVariantMap& options,
                      uint response, const QVariantMap& results) {
    const QString path =
        portalPath + "/request/" + sender(message) + "/" + options.value("handle_token").toString();
    bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(path))));
    QDBusMessage signal = QDBusMessage::createSignal(
        path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    signal << response << results;
    bus.send(signal);
  }
  QString sessionPath() const {
    QMutexLocker lock(&mutex);
    return session;
  }
};

bool waitFor(const std::function<bool()>& condition) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > until) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

// A private session bus, optionally with the fake portal served on its own thread.
struct HotKeyBackendTest : testing::PrivateBusTest {
  void SetUp() override {
    PrivateBusTest::SetUp();
    client_ = connection("client");
  }
  void servePortal() {
    portal_.moveToThread(&thread_);
    QDBusConnection services = connection("portal");
    ASSERT_TRUE(services.registerVirtualObject(portalPath, &portal_, QDBusConnection::SubPath));
    ASSERT_TRUE(services.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
  }
  void activate(const QString& session, const QString& id) {
    QDBusMessage signal =
        QDBusMessage::createSignal(portalPath, shortcutsInterface, QStringLiteral("Activated"));
    signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(1) << QVariantMap();
    connection("portal").send(signal);
  }

  // The portal's connection answers a ping after the signals it sent before: once the answer
  // is here, they are waiting to be delivered, and are.
  void deliverPortalSignals() {
    client_.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), portalPath,
        QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }

  FakePortal portal_;
  QDBusConnection client_{QString()};
};

constexpr Qt::KeyboardModifiers superAltCtrl =
    Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

TEST(HotKeyRoute, XSessionsGrabAndWaylandSessionsUseThePortalOrNothing) {
  // WAYLAND_DISPLAY, XDG_SESSION_TYPE, portal offered, route.
  const std::tuple<const char*, const char*, bool, HotKeyRoute> rows[] = {
      {nullptr, "x11", true, HotKeyRoute::x11Grab},
      {nullptr, nullptr, false, HotKeyRoute::x11Grab},
      {"", "tty", false, HotKeyRoute::x11Grab},
      {"wayland-0", "x11", true, HotKeyRoute::portal},
      {nullptr, "wayland", true, HotKeyRoute::portal},
      {"wayland-0", nullptr, false, HotKeyRoute::none},
  };
  for (const auto& [display, type, offered, route] : rows) {
    const SessionVariables session(display, type);
    EXPECT_EQ(chooseHotKeyRoute(isWaylandSession(), offered), route)
        << (display ? display : "-") << " " << (type ? type : "-");
  }
  EXPECT_EQ(portalTriggerFor(0x6d, superAltCtrl), "CTRL+ALT+LOGO+m");
  EXPECT_EQ(portalTriggerFor(0x20, Qt::ControlModifier | Qt::AltModifier), "CTRL+ALT+space");
  EXPECT_EQ(portalTriggerFor(0xff0d, Qt::ControlModifier), std::nullopt);  // Return: unnamed
  EXPECT_EQ(portalTriggerFor(0x6d, Qt::KeypadModifier), std::nullopt);
}

// Regression: Wayland hot keys go through the portal. One bus for the whole story: no portal,
// then binding, activation, closing, and a binding the user refused.
TEST_F(HotKeyBackendTest, WaylandShortcutsNeedThePortalWhichBindsActsClosesAndMayRefuse) {
  {  // without the portal, a Wayland session registers nothing and says so
    const SessionVariables session("wayland-0", "wayland");
    LogCapture capture;
    const HotKeyBackend backend = HotKeyBackend::forThisSession(client_);
    EXPECT_EQ(backend.route(), HotKeyRoute::none);
    EXPECT_EQ(backend.create(0x6d, superAltCtrl, 1, [] { ADD_FAILURE() << "called"; }), nullptr);
    const SystemEnvironment environment(nullptr);
    EXPECT_EQ(capture.lines(),
              (std::vector<LogCapture::Line>{
                  {LogLevel::error, "lifecycle", "failed to register hotkey: -1"},
                  {LogLevel::info, "suppression",
                   "Wayland session: the active app and full-screen checks see only XWayland "
                   "windows"}}));
    const SessionVariables xSession(nullptr, "x11");
    const SystemEnvironment onX(nullptr);
    EXPECT_EQ(capture.lines().size(), 2u) << "nothing to say on an X session";
  }
  servePortal();
  const SessionVariables session(nullptr, "wayland");
  LogCapture capture;
  const HotKeyBackend backend = HotKeyBackend::forThisSession(client_);
  ASSERT_EQ(backend.route(), HotKeyRoute::portal);
  int calls = 0;
  std::unique_ptr<HotKeyHandle> hotKey = backend.create(0x6d, superAltCtrl, 1, [&] { ++calls; });
  ASSERT_NE(hotKey, nullptr);
  ASSERT_TRUE(waitFor([&] { return !capture.lines().empty(); }));
  EXPECT_EQ(logMessages(capture, "lifecycle"),
            std::vector<std::string>{"hotkey registered with identifier 1"});
  {
    QMutexLocker lock(&portal_.mutex);
    EXPECT_EQ(portal_.boundID, "hotkey-1");
    EXPECT_EQ(portal_.boundTrigger, "CTRL+ALT+LOGO+m");
    EXPECT_EQ(portal_.boundDescription, "Ctrl+Alt+Super+M");
  }
  const QString sessionPath = portal_.sessionPath();
  activate(sessionPath + "/other", "hotkey-1");  // another session's shortcut
  activate(sessionPath, "hotkey-2");             // another shortcut
  activate(sessionPath, "hotkey-1");
  ASSERT_TRUE(waitFor([&] { return calls > 0; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(calls, 1);

  hotKey.reset();
  EXPECT_TRUE(waitFor([&] {
    QMutexLocker lock(&portal_.mutex);
    return portal_.closed == QStringList{sessionPath};
  }));

  portal_.bindResponse = 1;  // the user cancelled the portal's dialog
  LogCapture refusal;
  calls = 0;
  hotKey = backend.create(0x20, Qt::ControlModifier | Qt::AltModifier, 2, [&] { ++calls; });
  ASSERT_TRUE(waitFor([&] { return !refusal.lines().empty(); }));
  const LogCapture::Line failed{LogLevel::error, "lifecycle", "failed to register hotkey: 1"};
  EXPECT_EQ(refusal.lines(), std::vector{failed});
  activate(portal_.sessionPath(), "hotkey-2");
  deliverPortalSignals();
  EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace vorlane
