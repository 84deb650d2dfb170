#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QThread>
#include <QVariantMap>

#include "app/desktop/screen_state_readers.h"
#include "tests/support/private_dbus.h"

using namespace std::chrono_literals;

namespace vorlane {
namespace {

// Answers every call on its path with what `respond` gives; no answer at all when it gives
// none, so that the caller waits for its timeout.
class FakeBusObject final : public QDBusVirtualObject {
 public:
  using Respond = std::function<std::optional<QVariant>(const QDBusMessage&)>;
  explicit FakeBusObject(Respond respond) : respond_(std::move(respond)) {}

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (const std::optional<QVariant> answer = respond_(message)) {
      connection.send(message.createReply(*answer));
    }
    return true;
  }
  QString introspect(const QString&) const override { return {}; }

 private:
  Respond respond_;
};

// Fake logind and screen-saver services on their own connection, served by their own
// thread so that a blocking call from the test's thread can be answered.
class FakeServices {
 public:
  explicit FakeServices(const std::string& address)
      : name_(QStringLiteral("fake-services-%1").arg(++counter)) {
    thread_.start();
    connection_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QString::fromStdString(address), name_));
  }
  ~FakeServices() {
    connection_.reset();
    QDBusConnection::disconnectFromBus(name_);
    thread_.quit();
    thread_.wait();
  }

  void add(const QString& service, const QString& path, FakeBusObject::Respond respond) {
    auto object = std::make_unique<FakeBusObject>(std::move(respond));
    object->moveToThread(&thread_);
    ASSERT_TRUE(connection_->registerVirtualObject(path, object.get()));
    ASSERT_TRUE(connection_->registerService(service));
    objects_.push_back(std::move(object));
  }

  void logind(QVariantMap properties) {
    add(QStringLiteral("org.freedesktop.login1"),
        QStringLiteral("/org/freedesktop/login1/session/auto"),
        [properties](const QDBusMessage& m) -> std::optional<QVariant> {
          if (m.member() != QLatin1String("GetAll")) return std::nullopt;
          return QVariant::fromValue(properties);
        });
  }

  void screenSaver(const QString& service, const QString& path, QVariant active) {
    add(service, path, [active](const QDBusMessage& m) -> std::optional<QVariant> {
      if (m.member() != QLatin1String("GetActive")) return std::nullopt;
      return active;
    });
  }

 private:
  static inline std::atomic<int> counter{0};
  QString name_;
  QThread thread_;
  std::unique_ptr<QDBusConnection> connection_;
  std::vector<std::unique_ptr<FakeBusObject>> objects_;
};

class DBusScreenStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(bus_.address().empty()) << "dbus-daemon did not start";
    clientName_ = QStringLiteral("probe-client-%1").arg(++clients);
    client_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), clientName_));
    ASSERT_TRUE(client_->isConnected());
    services_ = std::make_unique<FakeServices>(bus_.address());
  }
  void TearDown() override {
    services_.reset();
    client_.reset();
    QDBusConnection::disconnectFromBus(clientName_);
  }

  // The same private bus stands in for both the system and the session bus.
  ScreenStateReadings read() {
    DBusScreenState state(*client_, *client_);
    ScreenStateReadings readings;
    state.read(readings);
    return readings;
  }
  bool unavailable() {
    DBusScreenState state(*client_, *client_);
    return CombinedScreenAvailability({&state}).isScreenUnavailable();
  }

  static QVariantMap session(bool locked, bool active) {
    return {{QStringLiteral("LockedHint"), locked}, {QStringLiteral("Active"), active},
            {QStringLiteral("Name"), QStringLiteral("someone")}};
  }

  static inline std::atomic<int> clients{0};
  testing::PrivateDBus bus_;
  QString clientName_;
  std::unique_ptr<QDBusConnection> client_;
  std::unique_ptr<FakeServices> services_;
};

TEST_F(DBusScreenStateTest, LockedOrInactiveSessionMakesTheScreenUnavailable) {
  struct Row {
    const char* name;
    bool locked;
    bool active;
    bool unavailable;
  };
  const Row rows[] = {
      {"unlocked and active", false, true, false},
      {"locked", true, true, true},
      {"another user's session in front", false, false, true},
  };
  for (const Row& row : rows) {
    services_ = std::make_unique<FakeServices>(bus_.address());
    services_->logind(session(row.locked, row.active));
    EXPECT_EQ(unavailable(), row.unavailable) << row.name;
    const ScreenStateReadings readings = read();
    EXPECT_EQ(readings.sessionLocked, std::optional(row.locked)) << row.name;
    EXPECT_EQ(readings.sessionActive, std::optional(row.active)) << row.name;
  }
}

TEST_F(DBusScreenStateTest, EitherScreenSaverSayingActiveMakesTheScreenUnavailable) {
  services_->logind(session(false, true));
  EXPECT_FALSE(unavailable());

  services_->screenSaver(QStringLiteral("org.freedesktop.ScreenSaver"),
                         QStringLiteral("/org/freedesktop/ScreenSaver"), false);
  EXPECT_FALSE(unavailable());
  EXPECT_EQ(read().screenSaverActive, std::optional(false));

  services_->screenSaver(QStringLiteral("org.gnome.ScreenSaver"),
                         QStringLiteral("/org/gnome/ScreenSaver"), true);
  EXPECT_TRUE(unavailable());
}

TEST_F(DBusScreenStateTest, AnswersOfTheWrongTypeAreUnread) {
  services_->logind({{QStringLiteral("LockedHint"), QStringLiteral("yes")},
                     {QStringLiteral("Active"), 0}});
  services_->screenSaver(QStringLiteral("org.freedesktop.ScreenSaver"),
                         QStringLiteral("/org/freedesktop/ScreenSaver"), 1);
  const ScreenStateReadings readings = read();
  EXPECT_EQ(readings.sessionLocked, std::nullopt);
  EXPECT_EQ(readings.sessionActive, std::nullopt);
  EXPECT_EQ(readings.screenSaverActive, std::nullopt);
  EXPECT_FALSE(unavailable());
}

TEST_F(DBusScreenStateTest, HangingServicesTimeOutAndLeaveTheScreenAvailable) {
  const auto silent = [](const QDBusMessage&) -> std::optional<QVariant> { return std::nullopt; };
  services_->add(QStringLiteral("org.freedesktop.login1"),
                 QStringLiteral("/org/freedesktop/login1/session/auto"), silent);
  services_->add(QStringLiteral("org.freedesktop.ScreenSaver"),
                 QStringLiteral("/org/freedesktop/ScreenSaver"), silent);
  services_->screenSaver(QStringLiteral("org.gnome.ScreenSaver"),
                         QStringLiteral("/org/gnome/ScreenSaver"), true);

  const auto start = std::chrono::steady_clock::now();
  const ScreenStateReadings readings = read();
  const auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_EQ(readings.sessionLocked, std::nullopt);
  // A service that hangs is not followed by another call in the same reading.
  EXPECT_EQ(readings.screenSaverActive, std::nullopt);
  // Two calls of 250 ms each at most; the default timeout would be 25 s.
  EXPECT_LT(elapsed, 2s);
}

}  // namespace
}  // namespace vorlane
