// Tray availability on the binary's private X server: XEmbed tray managers standing in for
// trayer, a StatusNotifier watcher on a private bus, and both at once.
#include <gtest/gtest.h>
#include <xcb/shape.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QWindow>
#include <functional>
#include <memory>

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/tray/tray_host_watch.h"
#include "platform/desktop/tray/xembed_tray_watch.h"
#include "tests/support/fake_status_watcher.h"
#include "tests/support/private_dbus.h"
#include "tests/support/x11_peer.h"

namespace vorlane {
namespace {

// An XEmbed tray manager of its own X client: it owns the screen's tray selection through
// a window of its own, as trayer does, until the window or the whole client goes.
struct FakeTrayManager {
  testing::X11Peer peer;
  xcb_window_t window = peer.coloredWindow(QRect(0, 0, 10, 10), 0);
  void claim() {
    xcb_set_selection_owner(peer.c, window, peer.atom("_NET_SYSTEM_TRAY_S0"), XCB_CURRENT_TIME);
    peer.sync();
  }
  void destroyWindow() {
    xcb_destroy_window(peer.c, window);
    peer.sync();
  }
};

xcb_connection_t* qtConnection() { return SystemEnvironment::qtConnection(); }

// Runs the event loop, which brings the server's events, until `done` holds.
bool waitFor(const std::function<bool()>& done) {
  return testing::waitUntil([&] {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
  });
}

TEST(XEmbedTrayWatch, FollowsTrayManagersAsTheyComeAndGo) {
  ASSERT_NE(qtConnection(), nullptr);
  {
    // A manager already there is seen at once, without waiting for an event.
    FakeTrayManager early;
    early.claim();
    EXPECT_TRUE(XEmbedTrayWatch(qtConnection(), 0).isAvailable());
    // Gone before the next watch asks: the server ends another client's connection in its
    // own time.
    early.destroyWindow();
  }
  int changes = 0;
  XEmbedTrayWatch watch(qtConnection(), 0, [&] { ++changes; });
  EXPECT_FALSE(watch.isAvailable());

  FakeTrayManager first;
  first.claim();
  ASSERT_TRUE(waitFor([&] { return watch.isAvailable(); }));
  first.destroyWindow();  // its window goes, the selection with it
  ASSERT_TRUE(waitFor([&] { return !watch.isAvailable(); }));

  auto second = std::make_unique<FakeTrayManager>();
  second->claim();
  ASSERT_TRUE(waitFor([&] { return watch.isAvailable(); }));
  FakeTrayManager replacement;  // a new panel takes the selection over: still a tray
  replacement.claim();
  second.reset();  // the old manager's client ends
  replacement.destroyWindow();
  ASSERT_TRUE(waitFor([&] { return !watch.isAvailable(); }));
  EXPECT_EQ(changes, 4) << "told of every turn, and of nothing else";
}

// Regression guard: the watch asks the server for XFixes on Qt's own connection, and the
// server keeps the last version a client asked for. Qt makes windows click-through with an
// XFixes request a lower version would refuse.
TEST(XEmbedTrayWatch, LeavesQtsWindowsClickThrough) {
  const XEmbedTrayWatch watch(qtConnection(), 0);
  QWindow window;
  window.setFlags(Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
  window.resize(40, 40);
  window.show();
  ASSERT_TRUE(waitFor([&] { return window.isExposed(); }));
  testing::X11Peer peer;
  const auto shape = testing::owned(xcb_shape_get_rectangles_reply(
      peer.c, xcb_shape_get_rectangles(peer.c, xcb_window_t(window.winId()), XCB_SHAPE_SK_INPUT),
      nullptr));
  ASSERT_TRUE(shape);
  EXPECT_EQ(shape->rectangles_len, 0) << "the window still takes clicks";
}

// Either tray is enough; the combined answer is told only when it turns, and the log says
// what is there at each change of either.
TEST(TrayHostWatch, EitherTrayIsEnoughAndOnlyTurnsAreTold) {
  testing::PrivateDBus bus;
  ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
  const QString address = QString::fromStdString(bus.address());
  TrayHostWatch watch(QDBusConnection::connectToBus(address, "tray-client"), qtConnection(), 0);
  int changes = 0;
  const auto subscription = watch.changes().subscribe([&] { ++changes; });
  EXPECT_FALSE(watch.isAvailable());
  EXPECT_EQ(watch.description(), "none");
  EXPECT_FALSE(TrayHostWatch::reader(nullptr)());
  const auto read = TrayHostWatch::reader(
      std::shared_ptr<const TrayHostWatch>(std::shared_ptr<const TrayHostWatch>(), &watch));

  {
    QDBusConnection host = QDBusConnection::connectToBus(address, "tray-host");
    testing::FakeStatusWatcher statusWatcher;
    ASSERT_TRUE(statusWatcher.publish(host));
    ASSERT_TRUE(waitFor([&] { return watch.isAvailable(); }));
    EXPECT_TRUE(read());
    EXPECT_EQ(changes, 1);

    FakeTrayManager tray;
    tray.claim();
    ASSERT_TRUE(
        waitFor([&] { return watch.description() == "a StatusNotifier host and an XEmbed tray"; }));
    host.unregisterService("org.kde.StatusNotifierWatcher");
    ASSERT_TRUE(waitFor([&] { return watch.description() == "an XEmbed tray"; }));
    EXPECT_TRUE(watch.isAvailable());
    EXPECT_EQ(changes, 1) << "a tray was there all along";
    tray.destroyWindow();
    ASSERT_TRUE(waitFor([&] { return !watch.isAvailable(); }));
    EXPECT_FALSE(read());
    EXPECT_EQ(changes, 2);
  }
  QDBusConnection::disconnectFromBus("tray-host");
  QDBusConnection::disconnectFromBus("tray-client");
}

}  // namespace
}  // namespace vorlane
