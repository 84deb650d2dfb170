#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/logging/log_sink.h"

namespace vorlane {

// Sends one entry of "NAME=value" fields to the journal; returns 0 or a negative errno.
class JournalWriter {
 public:
  virtual ~JournalWriter() = default;
  virtual int send(const std::vector<std::string>& fields) = 0;
};

// The system journal (sd_journal_sendv), shared and never destroyed.
JournalWriter& systemJournal();

// Writes each record as one journal entry; an entry the journal refuses goes to `fallback`.
class JournalSink final : public LogSink {
 public:
  JournalSink(JournalWriter& journal, LogSink& fallback) : journal_(journal), fallback_(fallback) {}
  void write(const LogRecord& record) override;

 private:
  JournalWriter& journal_;
  LogSink& fallback_;
};

// The entry for a record: MESSAGE, PRIORITY, SYSLOG_IDENTIFIER=vorlane, VORLANE_SUBSYSTEM
// (our lines only) and VORLANE_CATEGORY.
std::vector<std::string> journalFields(const LogRecord& record);

// The journal's PRIORITY for a level (debug 7, info 6, error 3, fault 2).
int journalPriority(LogLevel level);

// Whether JOURNAL_STREAM ("<device>:<inode>") names the file that stderr is; systemd sets it
// for a service whose stderr goes to the journal, and children may inherit it stale.
bool journalStreamMatches(const char* journalStream, dev_t device, ino_t inode);

}  // namespace vorlane
