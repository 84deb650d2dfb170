// The main of every Qt test binary: one application object for all its tests.

#include <gmock/gmock.h>

#include <cstdlib>

#if defined(QT_WIDGETS_LIB)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(QT_GUI_LIB)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);  // discovery runs at build time, with no display
  testing::InitGoogleMock(&argc, argv);
  TestApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
