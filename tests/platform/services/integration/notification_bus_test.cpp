// The notification service against a private message bus, with a notification server of ours.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QTest>

#include "platform/services/user_notification_service.h"
#include "tests/support/event_loop_marker.h"
#include "tests/support/log_capture.h"
#include "tests/support/private_dbus.h"

namespace vorlane {
namespace {

using Lines = std::vector<LogCapture::Line>;

// QtDBus dispatches by exact signature: a Notify with other argument types is refused.
struct FakeNotificationServer : QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
 public:
  QStringList capabilities;
  std::vector<QVariantList> received;  // the arguments of each Notify

 public slots:
  QStringList GetCapabilities() { return capabilities; }
  uint Notify(const QString& appName, uint replacesID, const QString& icon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints,
              int timeout) {
    received.push_back({appName, replacesID, icon, summary, body, actions, hints, timeout});
    return uint(received.size());
  }
};

// A service on its own named connection to `address`, ready once the server has named its
// capabilities.
struct Client {
  explicit Client(const QString& address)
      : service(std::make_unique<QtDBusConnection>(QDBusConnection::connectToBus(address, name))) {
    service.queryCapabilities();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !log.lines().empty(); }, 10000));
  }
  ~Client() { QDBusConnection::disconnectFromBus(name); }
  QString name = QStringLiteral("client-%1").arg(std::rand());
  LogCapture log;
  UserNotificationService service;
};

// One private bus for every case. Notification bodies are user text: escaped when the server
// reads markup, sent as typed otherwise. Without a server or a bus, posts are dropped.
TEST(NotificationBus, PostsReachTheServerAsNewSilentNotificationsEscapedOnlyForMarkup) {
  testing::PrivateDBus bus;
  ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
  const QString address = QString::fromStdString(bus.address());
  for (const QString& nowhere : {address, "unix:path=" + QDir::tempPath() + "/vorlane-no-bus"}) {
    Client client(nowhere);  // first no notification server, then no bus at all
    EXPECT_EQ(
        client.log.lines(),
        (Lines{{LogLevel::error, "lifecycle", "notification authorization failed: <private>"}}))
        << nowhere.toStdString();
    client.service.postSilent("Vorlane", "nobody will see this");
    // Whatever the bus answers to the post comes before its answer to a call made after it.
    QDBusConnection(client.name)
        .call(QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                             "org.freedesktop.DBus", "GetId"));
    testing::runEventLoopPast(std::chrono::milliseconds(0));
    EXPECT_EQ(client.log.lines().size(), 1u);
  }

  FakeNotificationServer server;
  QDBusConnection connection = QDBusConnection::connectToBus(address, "server");
  ASSERT_TRUE(connection.registerObject("/org/freedesktop/Notifications", &server,
                                        QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(connection.registerService("org.freedesktop.Notifications"));
  const QVariantMap hints{{"suppress-sound", true}, {"desktop-entry", "com.corvantis.vorlane"}};
  for (const bool markup : {true, false}) {
    server.capabilities =
        markup ? QStringList{"body", "body-markup"} : QStringList{"body", "actions"};
    server.received.clear();
    Client client(address);
    EXPECT_EQ(client.log.lines(),
              (Lines{{LogLevel::info, "lifecycle", "notification authorization granted: true"}}));
    client.service.postSilent("<Vorlane & co>", "Call <Ann> & Bob &amp; co");
    client.service.postSilent("<Vorlane & co>", "Call <Ann> & Bob &amp; co");
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.received.size() == 2; }, 10000));
    // A summary is plain text; the body is escaped only for a server that reads markup.
    const QString body =
        markup ? "Call &lt;Ann&gt; &amp; Bob &amp;amp; co" : "Call <Ann> & Bob &amp; co";
    const QVariantList sent{"Vorlane", 0u, "", "<Vorlane & co>", body, QStringList(), hints, -1};
    EXPECT_EQ(server.received[0], sent);
    EXPECT_EQ(server.received[1], sent);       // replaces_id 0: a new notification each time
    EXPECT_EQ(client.log.lines().size(), 1u);  // posting logs nothing
  }
  QDBusConnection::disconnectFromBus("server");
}

}  // namespace
}  // namespace vorlane

#include "notification_bus_test.moc"
