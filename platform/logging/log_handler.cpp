#include "platform/logging/log_handler.h"

#include <QByteArray>
#include <QString>

#include "platform/logging/log_sink.h"

namespace vorlane {
namespace {

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const QByteArray text = message.toUtf8();
  std::string_view category = context.category != nullptr ? context.category : "default";
  std::string_view subsystem;
  if (std::string_view ours = ourCategory(category); !ours.empty()) {
    category = ours;
    subsystem = logSubsystem;
  }
  dispatchLogRecord({logLevelFor(type), subsystem, category,
                     std::string_view(text.constData(), std::size_t(text.size()))});
}

}  // namespace

std::string_view ourCategory(std::string_view qtCategoryName) {
  if (qtCategoryName.size() <= logSubsystem.size() + 1 ||
      !qtCategoryName.starts_with(logSubsystem) || qtCategoryName[logSubsystem.size()] != '.') {
    return {};
  }
  return qtCategoryName.substr(logSubsystem.size() + 1);
}

QtMsgType qtMessageType(LogLevel level) {
  switch (level) {
    case LogLevel::debug:
      return QtDebugMsg;
    case LogLevel::info:
      return QtInfoMsg;
    case LogLevel::error:
      return QtWarningMsg;
    case LogLevel::fault:
      return QtCriticalMsg;
  }
  return QtWarningMsg;
}

LogLevel logLevelFor(QtMsgType type) {
  switch (type) {
    case QtDebugMsg:
      return LogLevel::debug;
    case QtInfoMsg:
      return LogLevel::info;
    case QtWarningMsg:
      return LogLevel::error;
    case QtCriticalMsg:
    case QtFatalMsg:
      return LogLevel::fault;
  }
  return LogLevel::error;
}

void installLogHandler() { qInstallMessageHandler(&handleMessage); }

}  // namespace vorlane
