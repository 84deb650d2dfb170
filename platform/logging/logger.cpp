#include "platform/logging/logger.h"

#include "platform/logging/log_sink.h"

namespace vorlane {

std::string_view logLevelName(LogLevel level) {
  switch (level) {
    case LogLevel::debug:
      return "debug";
    case LogLevel::info:
      return "info";
    case LogLevel::error:
      return "error";
    case LogLevel::fault:
      return "fault";
  }
  return "error";
}

Logger::Logger(std::string category)
    : subsystem_("com.corvantis.vorlane"), category_(std::move(category)) {}

void Logger::write(LogLevel level, std::string_view format,
                   std::initializer_list<LogArgument> args) const {
  dispatchLogLine(level, *this, formatLogMessage(format, args));
}

}  // namespace vorlane
