#include "platform/logging/log.h"

namespace vorlane {

// Each logger is a function-local static (created once, thread-safe) and deliberately never
// destroyed, so code running during exit can still log.
const Logger& Log::lifecycle() {
  static const Logger& l = *new Logger("lifecycle");
  return l;
}
const Logger& Log::scheduling() {
  static const Logger& l = *new Logger("scheduling");
  return l;
}
const Logger& Log::suppression() {
  static const Logger& l = *new Logger("suppression");
  return l;
}
const Logger& Log::presentation() {
  static const Logger& l = *new Logger("presentation");
  return l;
}
const Logger& Log::speech() {
  static const Logger& l = *new Logger("speech");
  return l;
}
const Logger& Log::reminders() {
  static const Logger& l = *new Logger("reminders");
  return l;
}
const Logger& Log::pomodoro() {
  static const Logger& l = *new Logger("pomodoro");
  return l;
}

}  // namespace vorlane
