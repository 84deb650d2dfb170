#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/logging/log_format.h"

class QLoggingCategory;

namespace vorlane {

// Each level goes out at one Qt message type: debug as debug, info as info, error as warning
// and fault as critical, so filter rules such as "com.corvantis.vorlane.speech.debug=true"
// name them by Qt's words.
enum class LogLevel { debug, info, error, fault };

// The lower-case name of a level ("debug", "info", "error", "fault").
std::string_view logLevelName(LogLevel level);

// One logging category under the application's subsystem, backed by a Qt logging category
// named "<subsystem>.<category>". The message is a format of the kinds log_format.h lists;
// user text goes in as an argument, never as the format. A line whose level the category
// has turned off is not even formatted. Lines reach the sink only through the message
// handler of log_handler.h.
class Logger {
 public:
  Logger(const Logger&) = delete;
  Logger& operator=(const Logger&) = delete;

  const std::string& subsystem() const { return subsystem_; }
  const std::string& category() const { return category_; }
  const QLoggingCategory& qtCategory() const { return qtCategory_; }

  template <class... Args>
  void debug(std::string_view format, const Args&... args) const {
    write(LogLevel::debug, format, {LogArgument(args)...});
  }
  template <class... Args>
  void info(std::string_view format, const Args&... args) const {
    write(LogLevel::info, format, {LogArgument(args)...});
  }
  template <class... Args>
  void error(std::string_view format, const Args&... args) const {
    write(LogLevel::error, format, {LogArgument(args)...});
  }
  template <class... Args>
  void fault(std::string_view format, const Args&... args) const {
    write(LogLevel::fault, format, {LogArgument(args)...});
  }

 private:
  friend struct Log;
  explicit Logger(const QLoggingCategory& qtCategory);

  void write(LogLevel level, std::string_view format,
             std::initializer_list<LogArgument> args) const;

  const QLoggingCategory& qtCategory_;
  std::string subsystem_;
  std::string category_;
};

}  // namespace vorlane
