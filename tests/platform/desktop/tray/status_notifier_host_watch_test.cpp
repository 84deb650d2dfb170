#include "platform/desktop/tray/status_notifier_host_watch.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <atomic>

#include "tests/support/private_dbus.h"

using namespace std::chrono_literals;

namespace vorlane {
namespace {

const QString watcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

// The watcher's host property: `hostRegistered`, or no answer at all when `silent`.
struct FakeWatcher final : QDBusVirtualObject {
  std::atomic<bool> hostRegistered = true;
  std::atomic<bool> silent = false;
  std::atomic<int> asked = 0;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() != "org.freedesktop.DBus.Properties" || message.member() != "Get") {
      return false;
    }
    ++asked;
    if (silent) return true;
    connection.send(message.createReply(QVariant::fromValue(QDBusVariant(hostRegistered.load()))));
    return true;
  }
  QString introspect(const QString&) const override { return {}; }
};

// A fake watcher on a private session bus, served from its own thread.
struct StatusNotifierHostWatchTest : ::testing::Test {
  void SetUp() override {
    thread_.start();
    ASSERT_FALSE(bus_.address().empty()) << "dbus-daemon did not start";
    watcher_.moveToThread(&thread_);
  }
  void TearDown() override {
    watch.reset();
    for (const char* name : {"watcher", "client"}) QDBusConnection::disconnectFromBus(name);
    thread_.quit();
    thread_.wait();
  }
  QDBusConnection connection(const char* name) {
    return QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), name);
  }
  void serveWatcher() {
    ASSERT_TRUE(connection("watcher").registerVirtualObject(watcherPath, &watcher_));
    ASSERT_TRUE(connection("watcher").registerService(watcherName));
  }
  void hostsChanged() {
    connection("watcher").send(
        QDBusMessage::createSignal(watcherPath, watcherName, "StatusNotifierHostRegistered"));
  }
  void start() {
    watch = std::make_unique<StatusNotifierHostWatch>(connection("client"), 300ms,
                                                      [this] { ++changes; });
    // A round trip, so that the bus has taken the match rules before a signal is sent.
    connection("client").call(QDBusMessage::createMethodCall(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId"));
  }

  testing::PrivateDBus bus_;
  QThread thread_;
  FakeWatcher watcher_;
  std::unique_ptr<StatusNotifierHostWatch> watch;
  int changes = 0;
};

TEST_F(StatusNotifierHostWatchTest, AnswersFromTheWatcherAndFollowsHostsAsTheyComeAndGo) {
  serveWatcher();
  start();
  EXPECT_TRUE(watch->isAvailable());
  watcher_.hostRegistered = false;
  hostsChanged();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !watch->isAvailable(); }, 5000));
  watcher_.hostRegistered = true;
  hostsChanged();
  EXPECT_TRUE(QTest::qWaitFor([&] { return watch->isAvailable(); }, 5000));
  // The watcher leaving takes the tray with it.
  connection("watcher").unregisterService(watcherName);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !watch->isAvailable(); }, 5000));
  EXPECT_EQ(changes, 3) << "each turn told once";
}

TEST_F(StatusNotifierHostWatchTest, AWatcherThatComesLaterIsAskedThen) {
  start();
  EXPECT_FALSE(watch->isAvailable());
  serveWatcher();
  EXPECT_TRUE(QTest::qWaitFor([&] { return watch->isAvailable(); }, 5000));
}

// Regression: with a tray host that did not answer, the Preferences window took 25 s to open.
TEST_F(StatusNotifierHostWatchTest, ASilentWatcherCostsOneShortWaitAndThenNoneAtAll) {
  watcher_.silent = true;
  serveWatcher();
  QElapsedTimer clock;
  clock.start();
  start();
  EXPECT_LT(clock.elapsed(), 2000);
  EXPECT_FALSE(watch->isAvailable());
  // Asked again in the background; answering later is still heard.
  ASSERT_TRUE(QTest::qWaitFor([&] { return watcher_.asked == 2; }, 5000));
  clock.restart();
  for (int i = 0; i < 100; ++i) EXPECT_FALSE(watch->isAvailable());
  EXPECT_LT(clock.elapsed(), 50);
  watcher_.silent = false;
  hostsChanged();
  EXPECT_TRUE(QTest::qWaitFor([&] { return watch->isAvailable(); }, 5000));
}

TEST(StatusNotifierHostWatch, WithoutABusThereIsNoTray) {
  const StatusNotifierHostWatch watch(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                                           QStringLiteral("nowhere")));
  EXPECT_FALSE(watch.isAvailable());
}

}  // namespace
}  // namespace vorlane
