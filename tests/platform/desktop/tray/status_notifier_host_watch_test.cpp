#include "platform/desktop/tray/status_notifier_host_watch.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QTest>
#include <QThread>
#include <atomic>

#include "tests/support/private_bus_test.h"

using namespace std::chrono_literals;

namespace vorlane {
namespace {

const QString watcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

const QString hostProperty = QStringLiteral("IsStatusNotifierHostRegistered");
// A property the watch never asks for: its answer, which comes even from a silent watcher,
// follows every question the same connection sent before it.
const QString markerProperty = QStringLiteral("TestMarker");

// The watcher's host property: `hostRegistered`, or no answer at all when `silent`; `asked`
// counts the questions for it.
struct FakeWatcher final : QDBusVirtualObject {
  std::atomic<bool> hostRegistered = true;
  std::atomic<bool> silent = false;
  std::atomic<int> asked = 0;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() != "org.freedesktop.DBus.Properties" || message.member() != "Get") {
      return false;
    }
    const QString property = message.arguments().value(1).toString();
    if (property == markerProperty) {
      connection.send(message.createReply(QVariant::fromValue(QDBusVariant(true))));
      return true;
    }
    if (property != hostProperty) return false;
    ++asked;
    if (silent) return true;
    connection.send(message.createReply(QVariant::fromValue(QDBusVariant(hostRegistered.load()))));
    return true;
  }
  QString introspect(const QString&) const override { return {}; }
};

// A fake watcher on a private session bus, served from its own thread.
struct StatusNotifierHostWatchTest : testing::PrivateBusTest {
  void SetUp() override {
    PrivateBusTest::SetUp();
    watcher_.moveToThread(&thread_);
  }
  void TearDown() override {
    watch.reset();
    PrivateBusTest::TearDown();
  }
  void serveWatcher() {
    ASSERT_TRUE(connection("watcher").registerVirtualObject(watcherPath, &watcher_));
    ASSERT_TRUE(connection("watcher").registerService(watcherName));
  }
  void hostsChanged() {
    connection("watcher").send(
        QDBusMessage::createSignal(watcherPath, watcherName, "StatusNotifierHostRegistered"));
  }
  // Returns once the watcher has had every question the watch sent before this.
  void markerRoundTrip() {
    QDBusMessage get = QDBusMessage::createMethodCall(watcherName, watcherPath,
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << watcherName << markerProperty;
    ASSERT_EQ(connection("client").call(get).type(), QDBusMessage::ReplyMessage);
  }
  void start() {
    watch = std::make_unique<StatusNotifierHostWatch>(connection("client"), 300ms,
                                                      [this] { ++changes; });
    // A round trip, so that the bus has taken the match rules before a signal is sent.
    connection("client").call(QDBusMessage::createMethodCall(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId"));
  }

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
// The start waits for the first question alone and asks once more without waiting; asking
// the watch again is answered from what it knows, never from the bus. (How long that one
// wait lasts is measured in bench/hung_services_bench.cpp.)
TEST_F(StatusNotifierHostWatchTest, ASilentWatcherIsAskedTwiceAndThenNeverWhenTheWatchIsAsked) {
  watcher_.silent = true;
  serveWatcher();
  start();
  EXPECT_FALSE(watch->isAvailable());
  // Asked again in the background; answering later is still heard.
  ASSERT_TRUE(QTest::qWaitFor([&] { return watcher_.asked == 2; }, 5000));
  for (int i = 0; i < 100; ++i) EXPECT_FALSE(watch->isAvailable());
  markerRoundTrip();
  EXPECT_EQ(watcher_.asked, 2) << "asking the watch reached the bus";
  watcher_.silent = false;
  hostsChanged();
  EXPECT_TRUE(QTest::qWaitFor([&] { return watch->isAvailable(); }, 5000));
}

TEST(StatusNotifierHostWatch, WithoutABusThereIsNoTray) {
  const StatusNotifierHostWatch watch(QDBusConnection::connectToBus(
      QStringLiteral("unix:path=/nonexistent"), QStringLiteral("nowhere")));
  EXPECT_FALSE(watch.isAvailable());
}

}  // namespace
}  // namespace vorlane
