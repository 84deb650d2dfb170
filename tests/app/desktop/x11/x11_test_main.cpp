// The X tests' main(): a private X server for the whole binary, and Qt's xcb platform on it,
// so that the tests see Qt's own X connection as the application does.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include <QGuiApplication>

#include "tests/support/xvfb_server.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Test discovery only lists the tests; it needs no server.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

  vorlane::testing::XvfbServer xvfb;
  if (xvfb.display().empty()) {
    std::fprintf(stderr, "Xvfb did not start\n");
    return 1;
  }
  setenv("DISPLAY", xvfb.display().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("WAYLAND_DISPLAY");
  int result = 0;
  {
    QGuiApplication app(argc, argv);
    result = RUN_ALL_TESTS();
  }
  return result;
}
