#pragma once

#include <QtCore/qlogging.h>

#include <string_view>

#include "platform/logging/logger.h"

namespace vorlane {

// The subsystem our categories live under.
inline constexpr std::string_view logSubsystem = "com.corvantis.vorlane";

// The part of a Qt category name after "com.corvantis.vorlane.", or empty when the name is
// not one of ours ("qt.dbus", "default").
std::string_view ourCategory(std::string_view qtCategoryName);

// The Qt message type a level is sent at (error as QtWarningMsg, fault as QtCriticalMsg).
QtMsgType qtMessageType(LogLevel level);

// The level a Qt message type is written at; QtFatalMsg counts as a fault.
LogLevel logLevelFor(QtMsgType type);

// Makes our handler Qt's message handler, so every line (ours and Qt's own) goes to the
// current log sink (log_sink.h): the journal or stderr unless a test installed another.
// The application calls it first thing at start; calling it again does no harm.
void installLogHandler();

}  // namespace vorlane
