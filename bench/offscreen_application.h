#pragma once

#include <QApplication>
#include <cstdlib>

#include "platform/session/process_settings.h"

namespace vorlane {

// The program's own process settings, taken before main as the program takes them before its
// first thread, so that every benchmark runs on the heaps the program runs on.
inline const bool programProcessSettings = (applyProcessSettings(), true);

// The one application object of the benchmark program, on the offscreen platform; made on
// first use by whichever widget benchmark runs first. It is never destroyed: Qt's own
// globals, made after it once a window was shown, would go before it at exit.
inline QApplication& offscreenApplication() {
  static int argc = 1;
  static char name[] = "vorlane_bench";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static auto* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace vorlane
