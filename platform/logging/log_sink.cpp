#include "platform/logging/log_sink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <shared_mutex>

#include "platform/logging/log_journal.h"

namespace vorlane {
namespace {

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // Nowhere left to report a failing stderr.
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::shared_mutex& sinkMutex() {
  static auto* mutex = new std::shared_mutex;
  return *mutex;
}

LogSink* installedSink = nullptr;

}  // namespace

void StderrSink::write(const LogRecord& record) {
  writeAll(STDERR_FILENO, stderrLogLine(record.category, record.level, record.message));
}

namespace {

bool journalOwnsStderr() {
  struct stat st {};
  return ::fstat(STDERR_FILENO, &st) == 0 &&
         journalStreamMatches(std::getenv("JOURNAL_STREAM"), st.st_dev, st.st_ino);
}

}  // namespace

LogSink& defaultLogSink() {
  static LogSink& sink = []() -> LogSink& {
    if (journalOwnsStderr()) return *new JournalSink(systemJournal(), *new StderrSink);
    return *new StderrSink;
  }();
  return sink;
}

LogDestination logDestination(bool journalOwnsStderr, bool stderrIsTerminal) {
  if (journalOwnsStderr) return LogDestination::journal;
  return stderrIsTerminal ? LogDestination::terminal : LogDestination::standardError;
}

LogDestination defaultLogDestination() {
  return logDestination(journalOwnsStderr(), ::isatty(STDERR_FILENO) == 1);
}

LogSink* installLogSink(LogSink* sink) {
  std::unique_lock lock(sinkMutex());
  LogSink* previous = installedSink;
  installedSink = sink;
  return previous;
}

void dispatchLogRecord(const LogRecord& record) {
  std::shared_lock lock(sinkMutex());
  LogSink& sink = installedSink != nullptr ? *installedSink : defaultLogSink();
  sink.write(record);
}

std::string stderrLogLine(std::string_view category, LogLevel level, std::string_view message) {
  std::string line = "vorlane[";
  line += category;
  line += "] ";
  line += logLevelName(level);
  line += ": ";
  for (char c : message) {
    auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '\n':
        line += "\\n";
        break;
      case '\r':
        line += "\\r";
        break;
      case '\t':
        line += "\\t";
        break;
      case '\\':
        line += "\\\\";
        break;
      default:
        if (u < 0x20 || u == 0x7f) {
          char buf[5];
          std::snprintf(buf, sizeof buf, "\\x%02x", u);
          line += buf;
        } else {
          line += c;
        }
    }
  }
  line += '\n';
  return line;
}

}  // namespace vorlane
