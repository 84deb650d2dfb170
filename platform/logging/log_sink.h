#pragma once

#include <string>
#include <string_view>

#include "platform/logging/logger.h"

namespace vorlane {

// One finished line as the message handler hands it on. `subsystem` is empty for Qt's own
// lines, whose `category` is then Qt's category name ("default", "qt.dbus", ...).
// Views into the caller's storage, valid for the call only.
struct LogRecord {
  LogLevel level;
  std::string_view subsystem;
  std::string_view category;
  std::string_view message;

  bool ours() const { return !subsystem.empty(); }
};

// Where finished log lines go. Implementations must accept calls from any thread.
class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void write(const LogRecord& record) = 0;
};

// Writes each record as one escaped line on stderr, in a single write(2).
class StderrSink final : public LogSink {
 public:
  void write(const LogRecord& record) override;
};

// Routes every following line to `sink` (null: back to the default sink) and returns the sink
// it replaces. The caller keeps `sink` alive until it is replaced; a line being written while
// the sink is replaced finishes before this returns.
LogSink* installLogSink(LogSink* sink);

// Sends one finished line to the current sink.
void dispatchLogRecord(const LogRecord& record);

// The journal when JOURNAL_STREAM names our stderr, else stderr; chosen once.
LogSink& defaultLogSink();

// Where the default sink's lines end up, as a user would look for them.
enum class LogDestination { journal, terminal, standardError };
// The journal when it owns stderr; otherwise the terminal when stderr is one (a run from a
// shell or `make run`), else plain stderr (a pipe or a file).
LogDestination logDestination(bool journalOwnsStderr, bool stderrIsTerminal);
// This process's, found the way defaultLogSink() chooses.
LogDestination defaultLogDestination();

// The stderr form "vorlane[category] level: text\n", with control characters and backslashes
// in the text escaped so that one message is always one line.
std::string stderrLogLine(std::string_view category, LogLevel level, std::string_view message);

}  // namespace vorlane
