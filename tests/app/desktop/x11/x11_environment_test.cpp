#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "app/desktop/environment_probe.h"
#include "app/desktop/qt_screen_geometry.h"
#include "app/desktop/screen_identifier.h"
#include "app/desktop/screen_state_readers.h"
#include "app/desktop/system_environment.h"
#include "app/desktop/x11_frontmost_application.h"
#include "app/desktop/x11_window_list.h"
#include "tests/app/desktop/x11/x11_test_support.h"

using namespace std::string_literals;

namespace vorlane {
namespace {

const long ownPid = long(getpid());
constexpr xcb_window_t gone = 0x7ffffff;

struct X11EnvironmentTest : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(qt() != nullptr && peer.ok()) << "Qt is not running on X"; }
  void TearDown() override {  // the next test starts from a desktop without a window manager's lists
    peer.remove(peer.root(), "_NET_ACTIVE_WINDOW");
    peer.remove(peer.root(), "_NET_CLIENT_LIST_STACKING");
  }
  static xcb_connection_t* qt() { return SystemEnvironment::qtConnection(); }
  std::optional<std::string> frontmost() { return X11FrontmostApplication(qt(), ownPid).frontmostBundleID(); }
  void activate(xcb_window_t w, xcb_atom_t type = XCB_ATOM_WINDOW) { peer.set(peer.root(), "_NET_ACTIVE_WINDOW", type, {w}); }
  // A mapped window of another process, full screen unless changed, listed by the "window manager".
  xcb_window_t fullscreenWindow(std::int16_t x, std::int16_t y, std::uint16_t w, std::uint16_t h) {
    const xcb_window_t window = peer.window(x, y, w, h);
    peer.set(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {std::uint32_t(ownPid + 1)});
    peer.set(window, "_NET_WM_STATE", XCB_ATOM_ATOM, {peer.atom("_NET_WM_STATE_FULLSCREEN")});
    xcb_map_window(peer.connection(), window);
    peer.set(peer.root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, {window});
    return window;
  }
  bool fullscreen() {
    X11WindowList windows(qt());
    X11FrontmostApplication active(qt(), ownPid);
    QtScreenGeometry geometry(&active, &windows, ownPid);
    return geometry.isFullscreenOnScreen(geometry.targetScreen(std::nullopt));
  }
  testing::X11Peer peer;
  const ScreenFrame screen = screenFrame(*QGuiApplication::primaryScreen());
  const std::uint16_t w = std::uint16_t(screen.width), h = std::uint16_t(screen.height);
};

TEST_F(X11EnvironmentTest, FrontmostApplicationIsNamedByTheActiveWindowsClassAndMistypedPropertiesReadAsAbsent) {
  EXPECT_EQ(frontmost(), std::nullopt) << "no active window published";
  std::vector<std::pair<xcb_window_t, std::optional<std::string>>> rows;
  for (const auto& [bytes, pid, expected] : std::vector<std::tuple<std::string, long, std::optional<std::string>>>{
           {"zoom\0zoom\0"s, 0, "us.zoom.xos"}, {"gedit\0Gedit\0"s, 0, "Gedit"}, {"vorlane\0Vorlane\0"s, ownPid, "com.corvantis.vorlane"},
           {"", 0, std::nullopt} /* no WM_CLASS */}) {
    rows.emplace_back(peer.window(0, 0, 100, 100), expected);
    if (pid) peer.set(rows.back().first, "_NET_WM_PID", XCB_ATOM_CARDINAL, {std::uint32_t(pid)});
    if (!bytes.empty()) peer.set(rows.back().first, "WM_CLASS", XCB_ATOM_STRING, {}, bytes);
  }
  rows.insert(rows.end(), {{XCB_WINDOW_NONE, std::nullopt}, {gone, std::nullopt}});
  for (const auto& [window, expected] : rows) EXPECT_EQ((activate(window), frontmost()), expected) << window;

  const xcb_window_t zoom = rows[0].first;
  EXPECT_EQ((activate(zoom, XCB_ATOM_CARDINAL), frontmost()), std::nullopt) << "active window of type CARDINAL";
  EXPECT_EQ((peer.set(peer.root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {}, "abc"), frontmost()), std::nullopt) << "8-bit format";
  EXPECT_EQ((peer.set(peer.root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {}), frontmost()), std::nullopt) << "empty";
  activate(zoom);
  EXPECT_EQ((peer.set(zoom, "WM_CLASS", XCB_ATOM_STRING, {1, 2, 3}), frontmost()), std::nullopt) << "WM_CLASS in 32-bit format";
  peer.set(zoom, "WM_CLASS", XCB_ATOM_STRING, {}, "a\0"s + std::string(100000, 'z'));
  const auto cut = frontmost();
  ASSERT_TRUE(cut.has_value());
  EXPECT_LT(cut->size(), 100000u) << "an oversized class is cut, not read whole";
  EXPECT_EQ(cut->find_first_not_of('z'), std::string::npos);
}

TEST_F(X11EnvironmentTest, OnlyAnotherApplicationsNormalVisibleFullscreenWindowFillsTheScreen) {
  EXPECT_FALSE(fullscreen()) << "no window list";
  const xcb_window_t window = fullscreenWindow(0, 0, w, h);
  EXPECT_TRUE(fullscreen());
  const auto state = [&](std::vector<std::uint32_t> atoms) { peer.set(window, "_NET_WM_STATE", XCB_ATOM_ATOM, atoms); };
  state({peer.atom("_NET_WM_STATE_FULLSCREEN"), peer.atom("_NET_WM_STATE_HIDDEN")});
  EXPECT_FALSE(fullscreen()) << "minimised";
  state({});
  EXPECT_FALSE(fullscreen()) << "screen-sized without the full-screen state";
  state({peer.atom("_NET_WM_STATE_FULLSCREEN")});
  peer.set(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {std::uint32_t(ownPid)});
  EXPECT_FALSE(fullscreen()) << "our own window";
  peer.remove(window, "_NET_WM_PID");
  peer.set(window, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM, {peer.atom("_NET_WM_WINDOW_TYPE_DOCK")});
  EXPECT_FALSE(fullscreen()) << "a dock";
  peer.set(window, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM, {peer.atom("_NET_WM_WINDOW_TYPE_NORMAL")});
  EXPECT_TRUE(fullscreen()) << "a normal window naming no process";
  peer.set(peer.root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_CARDINAL, {window});
  EXPECT_FALSE(fullscreen()) << "list of type CARDINAL";
  peer.set(peer.root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, {gone, gone - 1});
  EXPECT_FALSE(fullscreen()) << "windows that no longer exist";
  peer.set(peer.root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, {gone, window});
  EXPECT_TRUE(fullscreen()) << "a dangling entry does not hide the real one";
  xcb_unmap_window(peer.connection(), window);
  peer.sync();
  EXPECT_FALSE(fullscreen()) << "unmapped";
}

TEST_F(X11EnvironmentTest, TheFrameIncludesDecorationsAndMustMatchWithinTwoPixels) {
  struct Row { const char* name; std::int16_t x, y; std::uint16_t width, height; std::vector<std::uint32_t> extents; bool fills; };
  const Row rows[] = {
      {"one pixel narrower", 0, 0, std::uint16_t(w - 1), h, {}, true},
      {"two pixels narrower", 0, 0, std::uint16_t(w - 2), h, {}, false},
      {"decorations make up the difference", 3, 20, std::uint16_t(w - 6), std::uint16_t(h - 23), {3, 3, 20, 3}, true},
      {"decorations push it past the screen", 0, 0, w, h, {0, 0, 20, 0}, false},
  };
  for (const Row& row : rows) {
    const xcb_window_t window = fullscreenWindow(row.x, row.y, row.width, row.height);
    if (!row.extents.empty()) peer.set(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL, row.extents);
    EXPECT_EQ(fullscreen(), row.fills) << row.name;
    xcb_unmap_window(peer.connection(), window);
  }
}

TEST_F(X11EnvironmentTest, AnActiveScreenSaverMakesTheScreenUnavailable) {
  X11ScreenState state(qt());
  ScreenStateReadings readings;
  state.read(readings);
  EXPECT_EQ(readings.x11ScreenSaverOn, std::optional(false));
  for (const bool active : {true, false}) {
    xcb_force_screen_saver(peer.connection(), active ? XCB_SCREEN_SAVER_ACTIVE : XCB_SCREEN_SAVER_RESET);
    peer.sync();
    EXPECT_EQ(CombinedScreenAvailability({&state}).isScreenUnavailable(), active);
  }
}

TEST_F(X11EnvironmentTest, SystemEnvironmentReadsTheDesktopThroughQtsConnection) {
  SystemEnvironment environment;
  EnvironmentSources sources = environment.sources();
  const xcb_window_t zoom = fullscreenWindow(0, 0, w, h);
  peer.set(zoom, "WM_CLASS", XCB_ATOM_STRING, {}, "zoom\0zoom\0"s);
  activate(zoom);
  const EnvironmentSnapshot snapshot = EnvironmentProbe(std::nullopt, std::nullopt, sources).snapshot(Date(100));
  EXPECT_EQ(snapshot.frontmostBundleID, std::optional<std::string>("us.zoom.xos"));
  EXPECT_TRUE(snapshot.isFullscreenOnTargetDisplay);
}

}  // namespace
}  // namespace vorlane
