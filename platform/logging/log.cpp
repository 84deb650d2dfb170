#include "platform/logging/log.h"

#include <QLoggingCategory>

namespace vorlane {
namespace {

Q_LOGGING_CATEGORY(lifecycleCategory, "com.corvantis.vorlane.lifecycle")
Q_LOGGING_CATEGORY(schedulingCategory, "com.corvantis.vorlane.scheduling")
Q_LOGGING_CATEGORY(suppressionCategory, "com.corvantis.vorlane.suppression")
Q_LOGGING_CATEGORY(presentationCategory, "com.corvantis.vorlane.presentation")
Q_LOGGING_CATEGORY(speechCategory, "com.corvantis.vorlane.speech")
Q_LOGGING_CATEGORY(remindersCategory, "com.corvantis.vorlane.reminders")
Q_LOGGING_CATEGORY(pomodoroCategory, "com.corvantis.vorlane.pomodoro")

}  // namespace

// Loggers are never destroyed, so code running during exit can still reach them.
const Logger& Log::lifecycle() {
  static const Logger& l = *new Logger(lifecycleCategory());
  return l;
}
const Logger& Log::scheduling() {
  static const Logger& l = *new Logger(schedulingCategory());
  return l;
}
const Logger& Log::suppression() {
  static const Logger& l = *new Logger(suppressionCategory());
  return l;
}
const Logger& Log::presentation() {
  static const Logger& l = *new Logger(presentationCategory());
  return l;
}
const Logger& Log::speech() {
  static const Logger& l = *new Logger(speechCategory());
  return l;
}
const Logger& Log::reminders() {
  static const Logger& l = *new Logger(remindersCategory());
  return l;
}
const Logger& Log::pomodoro() {
  static const Logger& l = *new Logger(pomodoroCategory());
  return l;
}

}  // namespace vorlane
