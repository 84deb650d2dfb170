// The window tests' main(): a private X server with openbox for the whole binary, and Qt's
// xcb platform on it. Each test starts the compositor it wants.
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/xvfb_server.h"
#include "tests/ui/window/x11/x11_window_support.h"

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
  vorlane::testing::ChildProcess openbox({"openbox", "--sm-disable"}, false);
  if (!vorlane::testing::waitForWindowManager()) {
    std::fprintf(stderr, "openbox did not start\n");
    return 1;
  }
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
