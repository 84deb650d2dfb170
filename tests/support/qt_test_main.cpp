// The main() of Qt test binaries: one application object for the whole binary, and the
// offscreen platform unless the environment asks for another (test discovery runs the
// binary at build time, without a display).
#include <cstdlib>

#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
