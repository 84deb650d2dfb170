// The X tests' main(): a private X server for the whole binary, with Qt's xcb platform on it.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "tests/support/xvfb_server.h"

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
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
