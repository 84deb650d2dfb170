// The notification service against a real message bus, with a notification server of ours.

#include <QDBusConnection>
#include <QObject>
#include <QTest>
#include <gtest/gtest.h>

#include "app/logging/log_capture.h"
#include "app/services/user_notification_service.h"
#include "tests/app/services/integration/private_daemons.h"

namespace vorlane {
namespace {

// QtDBus dispatches by exact signature: a Notify with other argument types is refused.
class FakeNotificationServer : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  QStringList capabilities{"body", "body-markup"};
  std::vector<QVariantList> received;  // the arguments of each Notify

 public slots:
  QStringList GetCapabilities() { return capabilities; }
  uint Notify(const QString& appName, uint replacesId, const QString& icon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints,
              int timeout) {
    received.push_back({appName, replacesId, icon, summary, body, actions, hints, timeout});
    return uint(received.size());
  }
};

class NotificationBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bus.start()) << bus.output().toStdString();
    serverName = QStringLiteral("server-%1").arg(++connections);
    clientName = QStringLiteral("client-%1").arg(connections);
  }
  void TearDown() override {
    service.reset();
    QDBusConnection::disconnectFromBus(serverName);
    QDBusConnection::disconnectFromBus(clientName);
  }

  void serve() {
    QDBusConnection connection = QDBusConnection::connectToBus(bus.address(), serverName);
    ASSERT_TRUE(connection.isConnected());
    ASSERT_TRUE(connection.registerObject("/org/freedesktop/Notifications", &server,
                                          QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(connection.registerService("org.freedesktop.Notifications"));
  }
  void connectService(const QString& address) {
    service = std::make_unique<UserNotificationService>(std::make_unique<QtDBusConnection>(
        QDBusConnection::connectToBus(address, clientName)));
  }
  void authorize(const LogCapture& log) {
    service->requestAuthorization();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.lines().empty(); }, 10000));
  }

  static inline int connections = 0;
  testing::PrivateDBus bus;
  QString serverName;
  QString clientName;
  FakeNotificationServer server;
  std::unique_ptr<UserNotificationService> service;
};

TEST_F(NotificationBusTest, ServerAnswersAndReceivesEachPostAsANewSilentNotification) {
  serve();
  connectService(bus.address());
  LogCapture log;
  authorize(log);
  EXPECT_EQ(log.lines(), (std::vector<LogCapture::Line>{
                             {LogLevel::info, "lifecycle", "notification authorization granted: true"}}));

  service->postSilent("Vorlane", "Call <Ann> & Bob");
  service->postSilent("Vorlane", "Call <Ann> & Bob");
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.received.size() == 2; }, 10000));
  const QVariantMap hints{{"suppress-sound", true}, {"desktop-entry", "com.corvantis.vorlane"}};
  const QVariantList expected{"Vorlane", 0u, "", "Vorlane", "Call &lt;Ann&gt; &amp; Bob",
                              QStringList(), hints, -1};
  EXPECT_EQ(server.received[0], expected);
  EXPECT_EQ(server.received[1], expected);  // replaces_id 0: a new notification each time
  EXPECT_EQ(log.lines().size(), 1u);  // posting logs nothing
}

TEST_F(NotificationBusTest, APlainTextServerGetsTheBodyAsTyped) {
  server.capabilities = {"body"};
  serve();
  connectService(bus.address());
  LogCapture log;
  authorize(log);
  service->postSilent("Vorlane", "Call <Ann> & Bob");
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.received.size() == 1; }, 10000));
  EXPECT_EQ(server.received[0].at(4).toString(), "Call <Ann> & Bob");
}

TEST_F(NotificationBusTest, WithoutAServerOrABusAuthorizationFailsAndPostsAreDropped) {
  struct Row {
    const char* name;
    QString address;
  };
  const Row rows[] = {
      {"bus without a notification server", bus.address()},
      {"no bus at all", QStringLiteral("unix:path=") + QDir::tempPath() + "/vorlane-no-such-bus"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    clientName = QStringLiteral("client-%1").arg(++connections);
    connectService(row.address);
    LogCapture log;
    authorize(log);
    EXPECT_EQ(log.lines(),
              (std::vector<LogCapture::Line>{
                  {LogLevel::error, "lifecycle", "notification authorization failed: <private>"}}));
    service->postSilent("Vorlane", "nobody will see this");
    QTest::qWait(50);
    EXPECT_EQ(log.lines().size(), 1u);
    service.reset();
    QDBusConnection::disconnectFromBus(clientName);
  }
}

}  // namespace
}  // namespace vorlane

#include "notification_bus_test.moc"
