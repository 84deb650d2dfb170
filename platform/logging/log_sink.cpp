#include "platform/logging/log_sink.h"

#include <sys/stat.h>
#include <systemd/sd-journal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <shared_mutex>

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

class StderrSink final : public LogSink {
 public:
  void write(LogLevel level, const Logger& logger, std::string_view message) override {
    writeAll(STDERR_FILENO, stderrLogLine(logger.category(), level, message));
  }
};

class JournalSink final : public LogSink {
 public:
  void write(LogLevel level, const Logger& logger, std::string_view message) override {
    const std::string text(message);
    int rc = sd_journal_send("MESSAGE=%s", text.c_str(), "PRIORITY=%i", journalPriority(level),
                             "SYSLOG_IDENTIFIER=vorlane", "VORLANE_SUBSYSTEM=%s",
                             logger.subsystem().c_str(), "VORLANE_CATEGORY=%s",
                             logger.category().c_str(), nullptr);
    if (rc < 0) fallback_.write(level, logger, message);
  }

 private:
  StderrSink fallback_;
};

LogSink& defaultSink() {
  static LogSink& sink = []() -> LogSink& {
    struct stat st {};
    if (::fstat(STDERR_FILENO, &st) == 0 &&
        journalStreamMatches(std::getenv("JOURNAL_STREAM"), st.st_dev, st.st_ino)) {
      return *new JournalSink;
    }
    return *new StderrSink;
  }();
  return sink;
}

std::shared_mutex& sinkMutex() {
  static auto* mutex = new std::shared_mutex;
  return *mutex;
}

LogSink* installedSink = nullptr;

template <class N>
bool parseWhole(std::string_view text, N& value) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

LogSink* installLogSink(LogSink* sink) {
  std::unique_lock lock(sinkMutex());
  LogSink* previous = installedSink;
  installedSink = sink;
  return previous;
}

void dispatchLogLine(LogLevel level, const Logger& logger, std::string_view message) {
  std::shared_lock lock(sinkMutex());
  LogSink& sink = installedSink != nullptr ? *installedSink : defaultSink();
  sink.write(level, logger, message);
}

int journalPriority(LogLevel level) {
  switch (level) {
    case LogLevel::debug:
      return 7;
    case LogLevel::info:
      return 6;
    case LogLevel::error:
      return 3;
    case LogLevel::fault:
      return 2;
  }
  return 3;
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

bool journalStreamMatches(const char* journalStream, dev_t device, ino_t inode) {
  if (journalStream == nullptr) return false;
  std::string_view text(journalStream);
  auto colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  unsigned long long dev = 0;
  unsigned long long ino = 0;
  if (!parseWhole(text.substr(0, colon), dev) || !parseWhole(text.substr(colon + 1), ino)) {
    return false;
  }
  return dev == static_cast<unsigned long long>(device) &&
         ino == static_cast<unsigned long long>(inode);
}

}  // namespace vorlane
