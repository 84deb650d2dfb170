#include "platform/desktop/session_state/reduced_motion_setting.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QTest>
#include <QThread>
#include <atomic>
#include <optional>

#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"
#include "tests/support/private_bus_test.h"

using namespace std::chrono_literals;

namespace vorlane {
namespace {

const QString portalName = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settings = QStringLiteral("org.freedesktop.portal.Settings");

QVariant wrapped(const QVariant& value) { return QVariant::fromValue(QDBusVariant(value)); }

// The portal's Settings.Read: answers `answer`, or "not found" when it holds none, or
// nothing at all when `silent`. Counts the reads.
struct FakePortal final : QDBusVirtualObject {
  std::optional<QVariant> answer;
  bool silent = false;
  std::atomic<int> reads = 0;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() != settings || message.member() != "Read") return false;
    ++reads;
    if (silent) return true;
    const QVariantList arguments = message.arguments();
    const bool ours = arguments.value(0) == "org.gnome.desktop.interface" &&
                      arguments.value(1) == "enable-animations";
    connection.send(ours && answer ? message.createReply(*answer)
                                   : message.createErrorReply(
                                         "org.freedesktop.portal.Error.NotFound", "no such key"));
    return true;
  }
  QString introspect(const QString&) const override { return {}; }
};

// A fake portal on a private session bus, served from its own thread.
struct ReducedMotionSettingTest : testing::PrivateBusTest {
  void SetUp() override {
    PrivateBusTest::SetUp();
    portal_.moveToThread(&thread_);
  }
  void TearDown() override {
    setting_.reset();
    PrivateBusTest::TearDown();
  }
  void servePortal() {
    ASSERT_TRUE(connection("portal").registerVirtualObject(portalPath, &portal_));
    ASSERT_TRUE(connection("portal").registerService(portalName));
  }
  void start() {
    setting_ = std::make_shared<ReducedMotionSetting>(connection("client"));
    // A round trip, so that the bus has taken the match rule before a signal is sent.
    connection("client").call(QDBusMessage::createMethodCall(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId"));
  }
  void change(const QString& nameSpace, const QString& key, const QVariant& value) {
    QDBusMessage signal = QDBusMessage::createSignal(portalPath, settings, "SettingChanged");
    signal << nameSpace << key << wrapped(value);
    connection("portal").send(signal);
  }

  // The portal's connection answers a ping after the signals it sent before: once the answer
  // is here, they are waiting to be delivered, and are.
  void deliverPortalSignals() {
    connection("client").call(QDBusMessage::createMethodCall(
        portalName, portalPath, QStringLiteral("org.freedesktop.DBus.Peer"),
        QStringLiteral("Ping")));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }

  LogCapture log_;
  FakePortal portal_;
  std::shared_ptr<ReducedMotionSetting> setting_;
};

TEST_F(ReducedMotionSettingTest, TheStartingValueIsAnimationsNegatedAndOffWhenUnknown) {
  struct Row {
    const char* name;
    bool portal;
    std::optional<QVariant> answer;
    bool silent;
    bool reduce;
  };
  // The portal appears after the first row and stays.
  const Row rows[] = {
      {"no portal", false, std::nullopt, false, false},
      {"animations on", true, wrapped(wrapped(true)), false, false},
      {"animations off", true, wrapped(wrapped(false)), false, true},
      {"a single variant", true, wrapped(false), false, true},
      {"not a boolean", true, wrapped(wrapped(QStringLiteral("false"))), false, false},
      {"no such key", true, std::nullopt, false, false},
      {"a portal that never answers", true, std::nullopt, true, false},
  };
  bool serving = false;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.portal && !serving) servePortal();
    serving = row.portal;
    portal_.answer = row.answer;
    portal_.silent = row.silent;
    const std::size_t linesBefore = logMessages(log_, "lifecycle").size();

    // A portal that never answers is given up on after one call's bound (what that costs is
    // measured in bench/hung_services_bench.cpp).
    start();

    EXPECT_EQ(setting_->prefersReducedMotion(), row.reduce);
    const bool known = row.answer && ReducedMotionSetting::booleanInside(*row.answer);
    const auto lines = logMessages(log_, "lifecycle");
    ASSERT_EQ(lines.size(), linesBefore + (known ? 0 : 1));
    if (!known) {
      EXPECT_TRUE(lines.back().starts_with("reduce motion unknown")) << lines.back();
    }
  }
}

TEST_F(ReducedMotionSettingTest, AChangeFromThePortalFlipsTheCachedValueWithoutAnotherRead) {
  servePortal();
  portal_.answer = wrapped(wrapped(true));
  start();
  const std::function<bool()> reduce = ReducedMotionSetting::reader(setting_);
  EXPECT_FALSE(reduce());

  change("org.gnome.desktop.interface", "enable-animations", false);
  EXPECT_TRUE(QTest::qWaitFor(reduce, 2000));

  // Other settings leave it; a value of the wrong type means unknown, so no reduction.
  change("org.gnome.desktop.interface", "gtk-theme", QStringLiteral("Adwaita"));
  change("org.gnome.desktop.a11y", "enable-animations", true);
  deliverPortalSignals();
  EXPECT_TRUE(reduce());
  change("org.gnome.desktop.interface", "enable-animations", 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !reduce(); }, 2000));
  change("org.gnome.desktop.interface", "enable-animations", false);
  EXPECT_TRUE(QTest::qWaitFor(reduce, 2000));

  for (int use = 0; use < 100; ++use) (void)reduce();
  EXPECT_EQ(portal_.reads, 1);
  EXPECT_FALSE(ReducedMotionSetting::reader(nullptr)());
}

}  // namespace
}  // namespace vorlane
