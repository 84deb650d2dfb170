#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QThread>

#include "platform/desktop/screen_state_readers.h"
#include "tests/support/private_dbus.h"

using namespace std::chrono_literals;

namespace vorlane {
namespace {

// Answers the calls named `member` on its path with `answer`, and nothing else: with no
// answer at all the caller waits for its timeout.
struct FakeBusObject final : QDBusVirtualObject {
  QString member;
  std::optional<QVariant> answer;
  FakeBusObject(QString member, std::optional<QVariant> answer)
      : member(std::move(member)), answer(std::move(answer)) {}
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (answer && message.member() == member) connection.send(message.createReply(*answer));
    return true;
  }
  QString introspect(const QString&) const override { return {}; }
};

// Fake logind and screen-saver services on a private bus, served by their own thread so that
// a blocking call from the test's thread can be answered. The same bus stands in for both
// the system and the session bus.
struct DBusScreenStateTest : ::testing::Test {
  void SetUp() override {
    thread_.start();
    ASSERT_FALSE(bus_.address().empty()) << "dbus-daemon did not start";
  }
  void TearDown() override {
    for (const char* name : {"services", "client"}) QDBusConnection::disconnectFromBus(name);
    thread_.quit();
    thread_.wait();
  }
  void serve(const QString& service, const QString& path, const QString& member,
             std::optional<QVariant> answer) {
    objects_.push_back(std::make_unique<FakeBusObject>(member, std::move(answer)));
    objects_.back()->moveToThread(&thread_);
    QDBusConnection connection =
        QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), "services");
    ASSERT_TRUE(connection.registerVirtualObject(path, objects_.back().get()));
    ASSERT_TRUE(connection.registerService(service));
  }
  void logind(std::optional<QVariant> properties) {
    serve("org.freedesktop.login1", "/org/freedesktop/login1/session/auto", "GetAll",
          std::move(properties));
  }
  void screenSaver(const QString& name, std::optional<QVariant> active) {
    serve("org." + name + ".ScreenSaver", "/org/" + name + "/ScreenSaver", "GetActive",
          std::move(active));
  }
  static QVariant session(QVariant locked, QVariant active) {
    return QVariantMap{{"LockedHint", locked}, {"Active", active}};
  }
  // Whether the screen is unavailable, and what was read.
  std::pair<bool, ScreenStateReadings> read() {
    QDBusConnection client =
        QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), "client");
    DBusScreenState state(client, client);
    ScreenStateReadings readings;
    state.read(readings);
    return {CombinedScreenAvailability({&state}).isScreenUnavailable(), readings};
  }

  testing::PrivateDBus bus_;
  QThread thread_;
  std::vector<std::unique_ptr<FakeBusObject>> objects_;
};

TEST_F(DBusScreenStateTest, LockedOrInactiveSessionMakesTheScreenUnavailable) {
  // Locked, active, unavailable.
  const std::tuple<bool, bool, bool> rows[] = {
      {false, true, false},
      {true, true, true},
      {false, false, true},
  };
  for (const auto& [locked, active, unavailable] : rows) {
    SCOPED_TRACE(::testing::Message() << "locked " << locked << ", active " << active);
    // The name is given up first: the bus frees a closed connection's names only later.
    QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), "services")
        .unregisterService("org.freedesktop.login1");
    QDBusConnection::disconnectFromBus("services");
    logind(session(locked, active));
    const auto [isUnavailable, readings] = read();
    EXPECT_EQ(isUnavailable, unavailable);
    EXPECT_EQ(readings.sessionLocked, locked);
    EXPECT_EQ(readings.sessionActive, active);
  }
}

TEST_F(DBusScreenStateTest,
       EitherScreenSaverSayingActiveMakesTheScreenUnavailableAndAnswersOfTheWrongTypeAreUnread) {
  logind(session(QStringLiteral("yes"), 0));
  screenSaver("freedesktop", 1);
  const auto [unavailable, readings] = read();
  EXPECT_FALSE(unavailable);
  EXPECT_EQ(readings.sessionLocked, std::nullopt);
  EXPECT_EQ(readings.sessionActive, std::nullopt);
  EXPECT_EQ(readings.screenSaverActive, std::nullopt);
  screenSaver("gnome", true);
  EXPECT_TRUE(read().first);
}

TEST_F(DBusScreenStateTest, HangingServicesTimeOutAndLeaveTheScreenAvailable) {
  logind(std::nullopt);
  screenSaver("freedesktop", std::nullopt);
  screenSaver("gnome", true);
  const auto start = std::chrono::steady_clock::now();
  QDBusConnection client =
      QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), "client");
  ScreenStateReadings readings;
  DBusScreenState(client, client).read(readings);
  // Two calls of 250 ms at most, not the default 25 s.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  // A service that hangs is not followed by another call in the same reading.
  EXPECT_EQ(readings.sessionLocked, std::nullopt);
  EXPECT_EQ(readings.screenSaverActive, std::nullopt);
}

}  // namespace
}  // namespace vorlane
