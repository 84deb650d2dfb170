#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/screens/qt_screen_geometry.h"
#include "platform/desktop/screens/screen_identifier.h"
#include "platform/desktop/windows/x11_active_application.h"
#include "platform/desktop/windows/x11_window_list.h"
#include "tests/support/x11_peer.h"

using namespace std::string_literals;

namespace vorlane {
namespace {

const long ownPid = long(getpid());
constexpr xcb_window_t gone = 0x7ffffff;

struct X11EnvironmentTest : ::testing::Test {
  void SetUp() override {
    ASSERT_NE(qt(), nullptr) << "Qt is not running on X";
    ASSERT_TRUE(peer.ok());
  }
  // Qt's own connection, as the application sees it.
  static xcb_connection_t* qt() { return SystemEnvironment::qtConnection(); }
  std::optional<std::string> activeAppID() {
    return X11ActiveApplication(qt(), ownPid).activeAppID();
  }
  void activate(xcb_window_t w, xcb_atom_t type = XCB_ATOM_WINDOW) {
    peer.set(peer.root, "_NET_ACTIVE_WINDOW", type, {w});
  }
  // A mapped window of another process, full screen unless changed, listed by the "window manager".
  xcb_window_t fullscreenWindow() {
    const xcb_window_t window =
        peer.coloredWindow(QRect(0, 0, int(screen.width), int(screen.height)), 0, false);
    peer.set(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {std::uint32_t(ownPid + 1)});
    peer.set(window, "_NET_WM_STATE", XCB_ATOM_ATOM, {peer.atom("_NET_WM_STATE_FULLSCREEN")});
    xcb_map_window(peer.c, window);
    peer.set(peer.root, "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, {window});
    return window;
  }
  bool fullscreen() {
    X11WindowList windows(qt());
    X11ActiveApplication active(qt(), ownPid);
    QtScreenGeometry geometry(&active, &windows, ownPid);
    return geometry.isFullscreenOnScreen(geometry.targetScreen(std::nullopt));
  }
  testing::X11Peer peer;
  const ScreenFrame screen = screenFrame(*QGuiApplication::primaryScreen());
};

// One run on one X server: the active application, then the full-screen check.
TEST_F(X11EnvironmentTest,
       ActiveAppIsNamedByItsWindowClassAndOnlyAnotherAppsFullscreenWindowCounts) {
  EXPECT_EQ(activeAppID(), std::nullopt) << "no active window published";
  const auto named = [&](const std::string& bytes, long pid = 0) {
    const xcb_window_t window = peer.coloredWindow(QRect(0, 0, 100, 100), 0, false);
    if (pid) peer.set(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {std::uint32_t(pid)});
    if (!bytes.empty()) peer.set(window, "WM_CLASS", XCB_ATOM_STRING, {}, bytes);
    return window;
  };
  const xcb_window_t zoom = named("zoom\0zoom\0"s);
  const std::pair<xcb_window_t, std::optional<std::string>> rows[] = {
      {zoom, "us.zoom.xos"},
      {named("gedit\0Gedit\0"s), "Gedit"},
      {named("vorlane\0Vorlane\0"s, ownPid), "com.corvantis.vorlane"},
      {named(""), std::nullopt},  // no WM_CLASS
      {XCB_WINDOW_NONE, std::nullopt},
      {gone, std::nullopt},
  };
  for (const auto& [window, expected] : rows) {
    activate(window);
    EXPECT_EQ(activeAppID(), expected) << window;
  }

  activate(zoom, XCB_ATOM_CARDINAL);
  EXPECT_EQ(activeAppID(), std::nullopt) << "active window of type CARDINAL";
  peer.set(peer.root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {}, "abc");
  EXPECT_EQ(activeAppID(), std::nullopt) << "8-bit format";
  peer.set(peer.root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {});
  EXPECT_EQ(activeAppID(), std::nullopt) << "empty";
  activate(zoom);
  peer.set(zoom, "WM_CLASS", XCB_ATOM_STRING, {1, 2, 3});
  EXPECT_EQ(activeAppID(), std::nullopt) << "WM_CLASS in 32-bit format";
  peer.set(zoom, "WM_CLASS", XCB_ATOM_STRING, {}, "a\0"s + std::string(100000, 'z'));
  const auto cut = activeAppID();
  ASSERT_TRUE(cut.has_value());
  EXPECT_LT(cut->size(), 100000u) << "an oversized class is cut";
  EXPECT_EQ(cut->find_first_not_of('z'), std::string::npos);

  peer.remove(peer.root, "_NET_ACTIVE_WINDOW");

  EXPECT_FALSE(fullscreen()) << "no window list";
  const xcb_window_t window = fullscreenWindow();
  EXPECT_TRUE(fullscreen());
  const auto state = [&](std::vector<std::uint32_t> atoms) {
    peer.set(window, "_NET_WM_STATE", XCB_ATOM_ATOM, atoms);
  };
  state({peer.atom("_NET_WM_STATE_FULLSCREEN"), peer.atom("_NET_WM_STATE_HIDDEN")});
  EXPECT_FALSE(fullscreen()) << "minimised";
  state({});
  EXPECT_FALSE(fullscreen()) << "screen-sized without the full-screen state";
  state({peer.atom("_NET_WM_STATE_FULLSCREEN")});
  peer.set(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {std::uint32_t(ownPid)});
  EXPECT_FALSE(fullscreen()) << "our own window";
  peer.set(window, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM, {peer.atom("_NET_WM_WINDOW_TYPE_DOCK")});
  peer.remove(window, "_NET_WM_PID");
  EXPECT_FALSE(fullscreen()) << "a dock";
  peer.set(window, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM, {peer.atom("_NET_WM_WINDOW_TYPE_NORMAL")});
  EXPECT_TRUE(fullscreen()) << "a normal window naming no process";
  peer.set(peer.root, "_NET_CLIENT_LIST_STACKING", XCB_ATOM_CARDINAL, {window});
  EXPECT_FALSE(fullscreen()) << "list of type CARDINAL";
  peer.set(peer.root, "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, {gone, gone - 1});
  EXPECT_FALSE(fullscreen()) << "windows that no longer exist";
  peer.set(peer.root, "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, {gone, window});
  EXPECT_TRUE(fullscreen()) << "a dangling entry does not hide the real one";
  xcb_unmap_window(peer.c, window);
  peer.sync();
  EXPECT_FALSE(fullscreen()) << "unmapped";
}

}  // namespace
}  // namespace vorlane
