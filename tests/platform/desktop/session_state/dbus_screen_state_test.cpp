#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QThread>
#include <atomic>

#include "platform/desktop/capture/system_microphone_usage.h"
#include "platform/desktop/environment/environment_probe.h"
#include "platform/desktop/session_state/screen_state_readers.h"
#include "tests/support/private_bus_test.h"
#include "tests/support/quiet_desktop.h"
#include "tests/support/silent_sound_server.h"

using namespace std::chrono_literals;

namespace vorlane {
namespace {

// Answers the calls named `member` on its path with `answer`, and nothing else: with no
// answer at all the caller waits for its timeout.
struct FakeBusObject final : QDBusVirtualObject {
  QString member;
  std::optional<QVariant> answer;
  std::atomic<int> calls = 0;
  FakeBusObject(QString member, std::optional<QVariant> answer)
      : member(std::move(member)), answer(std::move(answer)) {}
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.member() == member) ++calls;
    if (answer && message.member() == member) connection.send(message.createReply(*answer));
    return true;
  }
  QString introspect(const QString&) const override { return {}; }
};

// Fake logind and screen-saver services on a private bus, served by their own thread so that
// a blocking call from the test's thread can be answered. The same bus stands in for both
// the system and the session bus.
struct DBusScreenStateTest : testing::PrivateBusTest {
  FakeBusObject& serve(const QString& service, const QString& path, const QString& member,
                       std::optional<QVariant> answer) {
    objects_.push_back(std::make_unique<FakeBusObject>(member, std::move(answer)));
    objects_.back()->moveToThread(&thread_);
    QDBusConnection services = connection("services");
    EXPECT_TRUE(services.registerVirtualObject(path, objects_.back().get()));
    EXPECT_TRUE(services.registerService(service));
    return *objects_.back();
  }
  // Replaces logind. The name is given up first: the bus frees a closed connection's names
  // only later.
  FakeBusObject& logind(std::optional<QVariant> properties) {
    connection("services").unregisterService("org.freedesktop.login1");
    QDBusConnection::disconnectFromBus("services");
    return serve("org.freedesktop.login1", "/org/freedesktop/login1/session/auto", "GetAll",
                 std::move(properties));
  }
  FakeBusObject& screenSaver(const QString& name, std::optional<QVariant> active) {
    return serve("org." + name + ".ScreenSaver", "/org/" + name + "/ScreenSaver", "GetActive",
                 std::move(active));
  }
  static QVariant session(QVariant locked, QVariant active) {
    return QVariantMap{{"LockedHint", locked}, {"Active", active}};
  }
  // Whether the screen is unavailable, and what was read.
  std::pair<bool, ScreenStateReadings> read() {
    QDBusConnection client = connection("client");
    SnapshotBudget budget;
    SlowServiceMemory slow;
    DBusScreenState state(client, client, budget, slow);
    ScreenStateReadings readings;
    state.read(readings);
    return {CombinedScreenAvailability({&state}).isScreenUnavailable(), readings};
  }

  std::vector<std::unique_ptr<FakeBusObject>> objects_;
};

TEST_F(DBusScreenStateTest, LockedOrInactiveSessionOrActiveScreenSaverMakesTheScreenUnavailable) {
  // Locked, active, unavailable.
  const std::tuple<bool, bool, bool> rows[] = {
      {false, true, false},
      {true, true, true},
      {false, false, true},
  };
  for (const auto& [locked, active, unavailable] : rows) {
    SCOPED_TRACE(::testing::Message() << "locked " << locked << ", active " << active);
    logind(session(locked, active));
    const auto [isUnavailable, readings] = read();
    EXPECT_EQ(isUnavailable, unavailable);
    EXPECT_EQ(readings.sessionLocked, locked);
    EXPECT_EQ(readings.sessionActive, active);
  }
  // Answers of the wrong type are unread; either screen saver saying active is enough.
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

TEST_F(DBusScreenStateTest, HungServicesCostOneSnapshotTheBudgetOnceAndAreNotWaitedOnAgain) {
  FakeBusObject& session = logind(std::nullopt);
  FakeBusObject& freedesktop = screenSaver("freedesktop", std::nullopt);
  FakeBusObject& gnome = screenSaver("gnome", std::nullopt);
  const testing::SilentSoundServer sound;
  ASSERT_TRUE(sound.listening());

  QDBusConnection client = connection("client");
  SnapshotBudget budget(250ms);
  SlowServiceMemory slow;
  SystemMicrophoneUsage microphone(PulseCaptureQuery(sound.address()),
                                   sound.runtime().path().string(), &budget);
  DBusScreenState dbus(client, client, budget, slow);
  CombinedScreenAvailability availability({&dbus});
  testing::QuietDesktop quiet;
  EnvironmentSources sources{quiet, microphone, quiet, quiet, availability, &budget};
  const EnvironmentProbe probe(std::nullopt, std::nullopt, sources);

  // Four hung services, each of which would take 250 ms: each is waited on once, and
  // afterwards a snapshot asks none of them. (What a snapshot with every service hung costs
  // is measured in bench/hung_services_bench.cpp.)
  for (int snapshot = 1; snapshot <= 5; ++snapshot) {
    const EnvironmentSnapshot taken = probe.snapshot(Date(0));
    EXPECT_FALSE(taken.microphoneInUse) << snapshot;
    EXPECT_FALSE(taken.isScreenUnavailable) << snapshot;
  }
  // The services take the client's calls in order: any late one is taken before this.
  serve("com.corvantis.vorlane.Test", "/com/corvantis/vorlane/Test", "Ping", true);
  client.call(QDBusMessage::createMethodCall("com.corvantis.vorlane.Test",
                                             "/com/corvantis/vorlane/Test",
                                             "com.corvantis.vorlane.Test", "Ping"));
  for (const FakeBusObject* service : {&session, &freedesktop, &gnome}) {
    EXPECT_EQ(service->calls, 1);
  }
}

}  // namespace
}  // namespace vorlane
