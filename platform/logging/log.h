#pragma once

#include "platform/logging/logger.h"

namespace vorlane {

// The application's loggers, one per category, each a Qt logging category named
// "com.corvantis.vorlane.<category>" (e.g.
// QT_LOGGING_RULES="com.corvantis.vorlane.speech.debug=false"). All levels are on unless a rule
// turns them off. Each logger is created on first use (thread-safe) and lives until the process
// ends.
struct Log {
  static const Logger& lifecycle();
  static const Logger& scheduling();
  static const Logger& suppression();
  static const Logger& presentation();
  static const Logger& speech();
  static const Logger& reminders();
  static const Logger& pomodoro();
};

}  // namespace vorlane
