#include "platform/logging/logger.h"

#include <QLoggingCategory>
#include <QString>

#include "platform/logging/log_handler.h"
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

Logger::Logger(const QLoggingCategory& qtCategory)
    : qtCategory_(qtCategory),
      subsystem_(logSubsystem),
      category_(ourCategory(qtCategory.categoryName())) {}

void Logger::write(LogLevel level, std::string_view format,
                   std::initializer_list<LogArgument> args) const {
  const QtMsgType type = qtMessageType(level);
  if (!qtCategory_.isEnabled(type)) return;
  const std::string text = formatLogMessage(format, args);
  // Handed to the handler as finished text: no format string is built from it.
  const QMessageLogContext context(nullptr, 0, nullptr, qtCategory_.categoryName());
  qt_message_output(type, context, QString::fromUtf8(text.data(), qsizetype(text.size())));
}

}  // namespace vorlane
