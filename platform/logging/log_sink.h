#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/logging/logger.h"

namespace vorlane {

// Where finished log lines go. Implementations must accept calls from any thread.
class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void write(LogLevel level, const Logger& logger, std::string_view message) = 0;
};

// Routes every following line to `sink` (null: back to the default sink) and returns the sink
// it replaces. The caller keeps `sink` alive until it is replaced; a line being written while
// the sink is replaced finishes before this returns.
LogSink* installLogSink(LogSink* sink);

// Sends one finished line to the current sink.
void dispatchLogLine(LogLevel level, const Logger& logger, std::string_view message);

// The journal's PRIORITY for a level (debug 7, info 6, error 3, fault 2).
int journalPriority(LogLevel level);

// The stderr form "vorlane[category] level: text\n", with control characters and backslashes
// in the text escaped so that one message is always one line.
std::string stderrLogLine(std::string_view category, LogLevel level, std::string_view message);

// Whether JOURNAL_STREAM ("<device>:<inode>") names the file that stderr is; systemd sets it
// for a service whose stderr goes to the journal, and children may inherit it stale.
bool journalStreamMatches(const char* journalStream, dev_t device, ino_t inode);

}  // namespace vorlane
