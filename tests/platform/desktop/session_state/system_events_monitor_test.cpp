#include "platform/desktop/session_state/system_events_monitor.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <map>

#include "core/contracts/system_event_source.h"
#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"
#include "tests/support/private_bus_test.h"

using namespace std::chrono_literals;

namespace vorlane {
namespace {

const QString sessionPath = QStringLiteral("/org/freedesktop/login1/session/c7");
// Where the services answer the test's own calls.
const QString markerPath = QStringLiteral("/com/corvantis/vorlane/Test");

// Answers the members it knows and leaves every other call without an answer.
struct FakeService final : QDBusVirtualObject {
  std::map<QString, QVariant> answers;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    const auto found = answers.find(message.member());
    if (found != answers.end()) connection.send(message.createReply(found->second));
    return true;
  }
  QString introspect(const QString&) const override { return {}; }
};

// A fake logind and screen saver on a private bus, served from their own thread, which
// stands in for both the system and the session bus.
struct SystemEventsMonitorTest : testing::PrivateBusTest {
  void SetUp() override {
    PrivateBusTest::SetUp();
    if (HasFatalFailure()) return;
    serve(markerPath, {{"Ping", true}});
  }
  void TearDown() override {
    source_.reset();
    monitor_.reset();
    PrivateBusTest::TearDown();
  }
  void serve(const QString& path, std::map<QString, QVariant> answers) {
    objects_.push_back(std::make_unique<FakeService>());
    objects_.back()->answers = std::move(answers);
    objects_.back()->moveToThread(&thread_);
    ASSERT_TRUE(connection("services").registerVirtualObject(path, objects_.back().get()));
  }
  // What the services sent before this reaches the client ahead of the answer to a call the
  // services answer in turn: once the answer is back, it waits to be delivered, and is.
  void deliverEverythingSent() {
    connection("client").call(QDBusMessage::createMethodCall(
        connection("services").baseService(), markerPath, "com.corvantis.vorlane.Test", "Ping"));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
  void ownName(const QString& name) { ASSERT_TRUE(connection("services").registerService(name)); }
  // logind answering the auto session's id and the id's path.
  void logind() {
    serve("/org/freedesktop/login1/session/auto",
          {{"Get", QVariant::fromValue(QDBusVariant(QStringLiteral("c7")))}});
    serve("/org/freedesktop/login1",
          {{"GetSession", QVariant::fromValue(QDBusObjectPath(sessionPath))}});
    ownName("org.freedesktop.login1");
  }
  // Observed as the coordinator observes it, from the start.
  // Waits until the session lookup has followed the session or given up.
  void startMonitor(std::chrono::milliseconds bound = 5s) {
    subscriptions_.clear();
    source_.reset();
    monitor_ = std::make_shared<SystemEventsMonitor>(
        connection("client"), connection("client"), [this] { return suspended_; }, bound);
    source_ = monitor_;
    subscriptions_.push_back(source_->screenWentAway().subscribe([this] { events_ += "away "; }));
    subscriptions_.push_back(source_->screenCameBack().subscribe([this] { events_ += "back "; }));
    subscriptions_.push_back(source_->didWake().subscribe([this] { events_ += "wake "; }));
    const size_t linesBefore = logMessages(log_, "lifecycle").size();
    (void)QTest::qWaitFor([&] { return logMessages(log_, "lifecycle").size() > linesBefore; },
                          int(bound.count()) + 2000);
    // A round trip, so that the bus has taken every match rule before a signal is sent.
    connection("client").call(QDBusMessage::createMethodCall(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId"));
  }
  // Sends one signal from the services' connection; what the monitor told of it, once the
  // signal has been delivered.
  std::string send(const QString& path, const QString& interface, const QString& name,
                   QVariantList arguments) {
    events_.clear();
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    connection("services").send(signal);
    deliverEverythingSent();
    return events_;
  }
  std::string screenSaver(const char* service, bool active) {
    const QString name = QStringLiteral("org.%1.ScreenSaver").arg(service);
    return send("/" + QString(name).replace('.', '/'), name, "ActiveChanged", {active});
  }
  // Asks for a wake not told yet, as a timer does; true once the timer's work has run, which
  // is marked after what the monitor told.
  bool checkWake() {
    bool ran = false;
    source_->deliverPendingWake([this, &ran] {
      events_ += "then ";
      ran = true;
    });
    return ran || QTest::qWaitFor([&] { return ran; }, 30'000);
  }
  std::string sleep(bool starting) {
    return send("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
                {starting});
  }
  std::string properties(QVariantMap changed,
                         const QString& interface = "org.freedesktop.login1.Session") {
    return send(sessionPath, "org.freedesktop.DBus.Properties", "PropertiesChanged",
                {interface, changed, QStringList()});
  }

  LogCapture log_;
  std::vector<std::unique_ptr<FakeService>> objects_;
  std::shared_ptr<SystemEventsMonitor> monitor_;
  std::shared_ptr<SystemEventSource> source_;
  std::vector<Observers<>::Subscription> subscriptions_;
  std::string events_;
  double suspended_ = 0;
};

TEST_F(SystemEventsMonitorTest, ScreenSaverAndSessionSignalsTellAwayAndBackAndAWakeIsToldOnce) {
  logind();
  startMonitor();
  EXPECT_EQ(monitor_->sessionPath(), sessionPath);

  EXPECT_EQ(screenSaver("freedesktop", true), "away ");
  EXPECT_EQ(screenSaver("gnome", false), "back ");
  EXPECT_EQ(send(sessionPath, "org.freedesktop.login1.Session", "Lock", {}), "away ");
  EXPECT_EQ(send(sessionPath, "org.freedesktop.login1.Session", "Unlock", {}), "back ");

  // Changed properties, what is told.
  const std::pair<QVariantMap, std::string> rows[] = {
      {{{"LockedHint", true}}, "away "},
      {{{"LockedHint", false}}, "back "},
      {{{"Active", false}}, "away "},
      {{{"Active", true}}, "back "},
      {{{"Active", true}, {"LockedHint", true}}, "away "},
      {{{"IdleHint", true}}, ""},
      {{{"Active", QStringLiteral("no")}}, ""},
  };
  for (const auto& [changed, told] : rows) {
    SCOPED_TRACE(told);
    EXPECT_EQ(properties(changed), told);
  }
  // Another interface's properties, or another session's lock, are not ours.
  EXPECT_EQ(properties({{"Active", false}}, "org.freedesktop.login1.User"), "");
  EXPECT_EQ(
      send("/org/freedesktop/login1/session/c9", "org.freedesktop.login1.Session", "Lock", {}), "");

  // A wake is told once, whether a timer or logind notices it first. Going to sleep is not an event
  // of its own.
  EXPECT_EQ(sleep(true), "");
  EXPECT_EQ(logMessages(log_, "lifecycle").back(), "the machine is going to sleep");
  EXPECT_EQ(sleep(false), "wake ");

  // Nothing slept: a timer's check tells nothing, and the timer goes on at once.
  events_.clear();
  suspended_ = 0.5;
  bool ranAtOnce = false;
  source_->deliverPendingWake([&] { ranAtOnce = true; });
  EXPECT_TRUE(ranAtOnce);
  EXPECT_EQ(events_, "");

  // The timer fires first after a resume, then logind's signal arrives.
  suspended_ = 600;
  ASSERT_TRUE(checkWake());
  ASSERT_TRUE(checkWake());
  EXPECT_EQ(events_, "wake then then ");
  EXPECT_EQ(sleep(false), "");

  // The next suspend is reported by logind first; the timer then finds nothing new.
  suspended_ = 1200;
  EXPECT_EQ(sleep(false), "wake ");
  events_.clear();
  ASSERT_TRUE(checkWake());
  EXPECT_EQ(events_, "then ");

  // A process held across the sleep (stopped, or its machine paused) sees no suspended time:
  // logind's wake, already sent, is still told before the timer's work, and timers that
  // fire while the bus is asked wait for the same answer.
  EXPECT_EQ(sleep(true), "");
  QDBusMessage wake = QDBusMessage::createSignal(
      "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep");
  wake.setArguments({false});
  connection("services").send(wake);
  connection("services")
      .call(QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                           "org.freedesktop.DBus", "GetId"));
  bool otherTimerRan = false;
  source_->deliverPendingWake([&] { otherTimerRan = true; });
  EXPECT_FALSE(otherTimerRan) << "went on before the bus answered";
  ASSERT_TRUE(checkWake());
  EXPECT_TRUE(otherTimerRan);
  EXPECT_EQ(events_, "wake then ");
  deliverEverythingSent();
  ASSERT_TRUE(checkWake());
  EXPECT_EQ(events_, "wake then then ") << "told once";
}

// A session locked, or a screen saver on, before the monitor follows their signals sends
// nothing more: where they stand is read once they are followed, and told once. A signal
// taken before the read's answer is newer than the answer.
TEST_F(SystemEventsMonitorTest, AScreenAlreadyAwayAtTheStartIsToldOnce) {
  // Answers the session's properties, first sending `signalFirst` when one is named.
  struct Session final : QDBusVirtualObject {
    QVariantMap properties;
    QString signalFirst;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
      if (!signalFirst.isEmpty()) {
        connection.send(
            QDBusMessage::createSignal(sessionPath, "org.freedesktop.login1.Session", signalFirst));
      }
      connection.send(message.createReply(properties));
      return true;
    }
    QString introspect(const QString&) const override { return {}; }
  };
  struct Row {
    const char* what;
    bool screenSaverOn;
    QVariantMap session;
    const char* signalFirst;
    std::string told;
  };
  const Row rows[] = {
      {"locked", false, {{"Active", true}, {"LockedHint", true}}, "", "away "},
      {"switched away", false, {{"Active", false}, {"LockedHint", false}}, "", "away "},
      {"in use", false, {{"Active", true}, {"LockedHint", false}}, "", ""},
      {"no answer we know", false, {{"Active", "yes"}}, "", ""},
      {"screen saver on", true, {{"Active", true}, {"LockedHint", false}}, "", "away "},
      {"both", true, {{"Active", true}, {"LockedHint", true}}, "", "away "},
      {"unlocked meanwhile", false, {{"Active", true}, {"LockedHint", true}}, "Unlock", "back "},
  };
  logind();
  ownName("org.freedesktop.ScreenSaver");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Session session;
    session.properties = row.session;
    session.signalFirst = QString::fromLatin1(row.signalFirst);
    session.moveToThread(&thread_);
    FakeService screenSaver;
    screenSaver.answers = {{"GetActive", row.screenSaverOn}};
    screenSaver.moveToThread(&thread_);
    ASSERT_TRUE(connection("services").registerVirtualObject(sessionPath, &session));
    ASSERT_TRUE(
        connection("services").registerVirtualObject("/org/freedesktop/ScreenSaver", &screenSaver));
    events_.clear();
    startMonitor();
    EXPECT_EQ(monitor_->sessionPath(), sessionPath);
    const auto lines = logMessages(log_, "lifecycle");
    ASSERT_EQ(lines.size(), size_t(&row - rows) + 1);
    EXPECT_EQ(lines.back(), "following login session " + sessionPath.toStdString());
    // Both reads answered: the screen saver's is sent first, on the same connection.
    deliverEverythingSent();
    EXPECT_EQ(events_, row.told);
    // Followed from here on as usual.
    EXPECT_EQ(send(sessionPath, "org.freedesktop.login1.Session", "Unlock", {}), "back ");
    subscriptions_.clear();
    source_.reset();
    monitor_.reset();
    connection("services").unregisterObject(sessionPath);
    connection("services").unregisterObject("/org/freedesktop/ScreenSaver");
  }
}

TEST_F(SystemEventsMonitorTest, WithoutLogindTheScreenSaverIsStillFollowedAndOneLineIsLogged) {
  startMonitor();
  EXPECT_TRUE(monitor_->sessionPath().isEmpty());
  EXPECT_EQ(screenSaver("gnome", true), "away ");
  const auto lines = logMessages(log_, "lifecycle");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].starts_with("login session not available")) << lines[0];
}

TEST_F(SystemEventsMonitorTest, ASilentLogindHoldsUpNothingAndIsGivenUpOnAfterTheBound) {
  serve("/org/freedesktop/login1/session/auto", {});
  serve("/org/freedesktop/login1", {});
  ownName("org.freedesktop.login1");
  monitor_ = std::make_shared<SystemEventsMonitor>(
      connection("client"), connection("client"), [this] { return suspended_; }, 300ms);
  // The start does not wait for logind: a start that waited out the bound would have given
  // up, and said so, before it returned.
  EXPECT_TRUE(logMessages(log_, "lifecycle").empty());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !logMessages(log_, "lifecycle").empty(); }, 3000));
  EXPECT_TRUE(monitor_->sessionPath().isEmpty());
  EXPECT_EQ(logMessages(log_, "lifecycle").size(), 1u);
}

// After a sleep was announced, a timer's work waits for the bus's answer however slow a busy
// machine makes it; a bound short enough for a blocking call let it run before the wake.
TEST_F(SystemEventsMonitorTest, AfterASleepATimerWaitsForASlowBus) {
  logind();
  startMonitor();
  EXPECT_EQ(sleep(true), "");
  events_.clear();
  const pid_t daemon = bus_.pid();
  ASSERT_EQ(::kill(daemon, SIGSTOP), 0);
  struct Resume {
    pid_t pid;
    ~Resume() { ::kill(pid, SIGCONT); }
  } resume{daemon};
  QTimer::singleShot(400ms, [&] {
    events_ += "answering ";
    ::kill(daemon, SIGCONT);
  });
  ASSERT_TRUE(checkWake());
  EXPECT_EQ(events_, "answering then ");
}

// A logind busy at login answers after the start: its session is followed all the same.
TEST_F(SystemEventsMonitorTest, ALateAnswerStillFollowsTheSession) {
  struct Slow final : QDBusVirtualObject {
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
      QThread::msleep(400);
      connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(sessionPath))));
      return true;
    }
    QString introspect(const QString&) const override { return {}; }
  } slow;
  slow.moveToThread(&thread_);
  serve("/org/freedesktop/login1/session/auto",
        {{"Get", QVariant::fromValue(QDBusVariant(QStringLiteral("c7")))}});
  ASSERT_TRUE(connection("services").registerVirtualObject("/org/freedesktop/login1", &slow));
  ownName("org.freedesktop.login1");
  startMonitor();
  EXPECT_EQ(monitor_->sessionPath(), sessionPath);
  EXPECT_EQ(send(sessionPath, "org.freedesktop.login1.Session", "Lock", {}), "away ");
  connection("services").unregisterObject("/org/freedesktop/login1");
}

TEST_F(SystemEventsMonitorTest, WithoutAnyBusNothingIsFollowedAndNothingFails) {
  QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                                       QStringLiteral("none"));
  {
    SystemEventsMonitor monitor(none, none, [] { return 0.0; });
    EXPECT_TRUE(monitor.sessionPath().isEmpty());
    bool ran = false;
    monitor.deliverPendingWake([&] { ran = true; });
    EXPECT_TRUE(ran);
  }
  QDBusConnection::disconnectFromBus(QStringLiteral("none"));
  EXPECT_EQ(logMessages(log_, "lifecycle").size(), 2u);
}

}  // namespace
}  // namespace vorlane
