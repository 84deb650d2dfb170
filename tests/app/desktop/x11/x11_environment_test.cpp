#include <unistd.h>

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
const std::uint32_t otherPid = std::uint32_t(ownPid + 1);

class X11EnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(SystemEnvironment::qtConnection(), nullptr) << "Qt is not running on X";
    ASSERT_TRUE(peer_.ok());
  }
  void TearDown() override {
    // The next test starts from a desktop without a window manager's lists.
    peer_.remove(peer_.root(), "_NET_ACTIVE_WINDOW");
    peer_.remove(peer_.root(), "_NET_CLIENT_LIST_STACKING");
    peer_.sync();
  }

  xcb_connection_t* qt() const { return SystemEnvironment::qtConnection(); }

  void activate(xcb_window_t window) {
    peer_.words(peer_.root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {window});
    peer_.sync();
  }

  testing::X11Peer peer_;
};

TEST_F(X11EnvironmentTest, FrontmostApplicationIsNamedByTheActiveWindowsClass) {
  X11FrontmostApplication frontmost(qt(), ownPid);
  EXPECT_EQ(frontmost.frontmostBundleID(), std::nullopt) << "no active window published";

  const xcb_window_t zoom = peer_.window(0, 0, 100, 100);
  peer_.bytes(zoom, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "zoom\0zoom\0"s);
  const xcb_window_t editor = peer_.window(0, 0, 100, 100);
  peer_.bytes(editor, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "gedit\0Gedit\0"s);
  const xcb_window_t ours = peer_.window(0, 0, 100, 100);
  peer_.words(ours, "_NET_WM_PID", XCB_ATOM_CARDINAL, {std::uint32_t(ownPid)});
  peer_.bytes(ours, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "vorlane\0Vorlane\0"s);
  const xcb_window_t nameless = peer_.window(0, 0, 100, 100);

  struct Row {
    const char* name;
    xcb_window_t window;
    std::optional<std::string> expected;
  };
  const Row rows[] = {
      {"meeting application", zoom, "us.zoom.xos"},
      {"any other application", editor, "Gedit"},
      {"our own window", ours, "com.corvantis.vorlane"},
      {"a window without WM_CLASS", nameless, std::nullopt},
      {"no active window (0)", XCB_WINDOW_NONE, std::nullopt},
      {"a window that no longer exists", 0x7ffffff, std::nullopt},
  };
  for (const Row& row : rows) {
    activate(row.window);
    EXPECT_EQ(frontmost.frontmostBundleID(), row.expected) << row.name;
  }
}

TEST_F(X11EnvironmentTest, MistypedPropertiesReadAsAbsent) {
  X11FrontmostApplication frontmost(qt(), ownPid);
  const xcb_window_t zoom = peer_.window(0, 0, 100, 100);

  peer_.bytes(zoom, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "zoom\0zoom\0"s);
  peer_.words(peer_.root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_CARDINAL, {zoom});
  peer_.sync();
  EXPECT_EQ(frontmost.frontmostBundleID(), std::nullopt) << "active window of type CARDINAL";

  peer_.bytes(peer_.root(), peer_.atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, "abc");
  peer_.sync();
  EXPECT_EQ(frontmost.frontmostBundleID(), std::nullopt) << "active window in 8-bit format";

  peer_.words(peer_.root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {});
  peer_.sync();
  EXPECT_EQ(frontmost.frontmostBundleID(), std::nullopt) << "empty active window list";

  activate(zoom);
  peer_.words(zoom, "WM_CLASS", XCB_ATOM_STRING, {1, 2, 3});
  peer_.sync();
  EXPECT_EQ(frontmost.frontmostBundleID(), std::nullopt) << "WM_CLASS in 32-bit format";

  peer_.bytes(zoom, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "a\0"s + std::string(100000, 'z'));
  peer_.sync();
  const auto cut = frontmost.frontmostBundleID();
  ASSERT_TRUE(cut.has_value());
  EXPECT_LT(cut->size(), 100000u) << "an oversized class is cut, not read whole";
  EXPECT_EQ(cut->find_first_not_of('z'), std::string::npos);
}

class FullscreenTest : public X11EnvironmentTest {
 protected:
  void SetUp() override {
    X11EnvironmentTest::SetUp();
    screen_ = screenFrame(*QGuiApplication::primaryScreen());
  }

  // A mapped window of another process, full screen unless changed, listed by the "window
  // manager".
  xcb_window_t fullscreenWindow(std::int16_t x, std::int16_t y, std::uint16_t w, std::uint16_t h) {
    const xcb_window_t window = peer_.window(x, y, w, h);
    peer_.words(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {otherPid});
    peer_.words(window, "_NET_WM_STATE", XCB_ATOM_ATOM, {peer_.atom("_NET_WM_STATE_FULLSCREEN")});
    peer_.map(window);
    list({window});
    return window;
  }
  void list(const std::vector<std::uint32_t>& windows) {
    peer_.words(peer_.root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, windows);
    peer_.sync();
  }
  bool fullscreen() {
    X11WindowList windows(qt());
    X11FrontmostApplication active(qt(), ownPid);
    QtScreenGeometry geometry(&active, &windows, ownPid);
    return geometry.isFullscreenOnScreen(geometry.targetScreen(std::nullopt));
  }

  ScreenFrame screen_;
};

TEST_F(FullscreenTest, AnotherApplicationsFullscreenWindowFillsTheScreen) {
  const auto w = std::uint16_t(screen_.width);
  const auto h = std::uint16_t(screen_.height);
  EXPECT_FALSE(fullscreen()) << "no window list";

  const xcb_window_t window = fullscreenWindow(0, 0, w, h);
  EXPECT_TRUE(fullscreen());

  peer_.words(window, "_NET_WM_STATE", XCB_ATOM_ATOM,
              {peer_.atom("_NET_WM_STATE_FULLSCREEN"), peer_.atom("_NET_WM_STATE_HIDDEN")});
  peer_.sync();
  EXPECT_FALSE(fullscreen()) << "minimised";

  peer_.words(window, "_NET_WM_STATE", XCB_ATOM_ATOM, {});
  peer_.sync();
  EXPECT_FALSE(fullscreen()) << "screen-sized without the full-screen state";

  peer_.words(window, "_NET_WM_STATE", XCB_ATOM_ATOM, {peer_.atom("_NET_WM_STATE_FULLSCREEN")});
  peer_.words(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {std::uint32_t(ownPid)});
  peer_.sync();
  EXPECT_FALSE(fullscreen()) << "our own window";

  peer_.remove(window, "_NET_WM_PID");
  peer_.words(window, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM,
              {peer_.atom("_NET_WM_WINDOW_TYPE_DOCK")});
  peer_.sync();
  EXPECT_FALSE(fullscreen()) << "a dock";

  peer_.words(window, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM,
              {peer_.atom("_NET_WM_WINDOW_TYPE_NORMAL")});
  peer_.sync();
  EXPECT_TRUE(fullscreen()) << "a normal window naming no process";

  xcb_unmap_window(peer_.connection(), window);
  peer_.sync();
  EXPECT_FALSE(fullscreen()) << "unmapped";
}

TEST_F(FullscreenTest, TheFrameIncludesDecorationsAndMustMatchWithinTwoPixels) {
  const auto w = std::uint16_t(screen_.width);
  const auto h = std::uint16_t(screen_.height);
  struct Row {
    const char* name;
    std::int16_t x, y;
    std::uint16_t width, height;
    std::vector<std::uint32_t> extents;
    bool fills;
  };
  const std::vector<Row> rows = {
      {"one pixel narrower", 0, 0, std::uint16_t(w - 1), h, {}, true},
      {"two pixels narrower", 0, 0, std::uint16_t(w - 2), h, {}, false},
      {"decorations make up the difference", 3, 20, std::uint16_t(w - 6), std::uint16_t(h - 23),
       {3, 3, 20, 3}, true},
      {"decorations push it past the screen", 0, 0, w, h, {0, 0, 20, 0}, false},
  };
  for (const Row& row : rows) {
    const xcb_window_t window = fullscreenWindow(row.x, row.y, row.width, row.height);
    if (!row.extents.empty()) {
      peer_.words(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL, row.extents);
      peer_.sync();
    }
    EXPECT_EQ(fullscreen(), row.fills) << row.name;
    xcb_unmap_window(peer_.connection(), window);
  }
}

TEST_F(FullscreenTest, AMistypedOrDanglingWindowListFindsNothing) {
  const xcb_window_t window =
      fullscreenWindow(0, 0, std::uint16_t(screen_.width), std::uint16_t(screen_.height));
  peer_.words(peer_.root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_CARDINAL, {window});
  peer_.sync();
  EXPECT_FALSE(fullscreen()) << "list of type CARDINAL";

  list({0x7ffffff, 0x7fffffe});
  EXPECT_FALSE(fullscreen()) << "windows that no longer exist";

  list({0x7ffffff, window});
  EXPECT_TRUE(fullscreen()) << "a dangling entry does not hide the real one";
}

TEST_F(X11EnvironmentTest, ActiveScreenSaverMakesTheScreenUnavailable) {
  X11ScreenState state(qt());
  ScreenStateReadings readings;
  state.read(readings);
  EXPECT_EQ(readings.x11ScreenSaverOn, std::optional(false));
  EXPECT_FALSE(CombinedScreenAvailability({&state}).isScreenUnavailable());

  xcb_force_screen_saver(peer_.connection(), XCB_SCREEN_SAVER_ACTIVE);
  peer_.sync();
  EXPECT_TRUE(CombinedScreenAvailability({&state}).isScreenUnavailable());

  xcb_force_screen_saver(peer_.connection(), XCB_SCREEN_SAVER_RESET);
  peer_.sync();
  EXPECT_FALSE(CombinedScreenAvailability({&state}).isScreenUnavailable());
}

TEST_F(X11EnvironmentTest, SystemEnvironmentReadsTheDesktopThroughQtsConnection) {
  SystemEnvironment environment;
  EnvironmentSources sources = environment.sources();
  const ScreenFrame screen = screenFrame(*QGuiApplication::primaryScreen());
  const xcb_window_t zoom =
      peer_.window(0, 0, std::uint16_t(screen.width), std::uint16_t(screen.height));
  peer_.bytes(zoom, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "zoom\0zoom\0"s);
  peer_.words(zoom, "_NET_WM_STATE", XCB_ATOM_ATOM, {peer_.atom("_NET_WM_STATE_FULLSCREEN")});
  peer_.map(zoom);
  peer_.words(peer_.root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, {zoom});
  activate(zoom);

  const EnvironmentSnapshot snapshot =
      EnvironmentProbe(std::nullopt, std::nullopt, sources).snapshot(Date(100));
  EXPECT_EQ(snapshot.frontmostBundleID, std::optional<std::string>("us.zoom.xos"));
  EXPECT_TRUE(snapshot.isFullscreenOnTargetDisplay);
}

}  // namespace
}  // namespace vorlane
