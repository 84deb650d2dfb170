// The main of every X test binary: a private X server for the whole binary with Qt's xcb
// platform on it, and the window manager the binary names in VORLANE_TEST_WINDOW_MANAGER.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/paused_window_manager.h"
#include "tests/support/x11_peer.h"
#include "tests/support/xvfb_server.h"

#if defined(QT_WIDGETS_LIB)
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

namespace {
pid_t windowManagerID = -1;
}  // namespace

pid_t vorlane::testing::windowManagerPid() { return windowManagerID; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();  // discovery needs no server
  vorlane::testing::XvfbServer xvfb;
  if (xvfb.display().empty()) {
    std::fprintf(stderr, "Xvfb did not start\n");
    return 1;
  }
  setenv("DISPLAY", xvfb.display().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("WAYLAND_DISPLAY");
  std::unique_ptr<vorlane::testing::ChildProcess> windowManager;
#ifdef VORLANE_TEST_WINDOW_MANAGER
  windowManager = std::make_unique<vorlane::testing::ChildProcess>(
      std::vector<std::string>{VORLANE_TEST_WINDOW_MANAGER, "--sm-disable"}, false);
  if (!vorlane::testing::waitForWindowManager()) {
    std::fprintf(stderr, "%s did not start\n", VORLANE_TEST_WINDOW_MANAGER);
    return 1;
  }
  windowManagerID = windowManager->pid();
#endif
  TestApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
