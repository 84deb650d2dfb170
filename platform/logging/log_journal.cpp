#include "platform/logging/log_journal.h"

#include <sys/uio.h>
#include <systemd/sd-journal.h>

#include <charconv>

namespace vorlane {
namespace {

class SystemJournal final : public JournalWriter {
 public:
  int send(const std::vector<std::string>& fields) override {
    std::vector<iovec> parts;
    parts.reserve(fields.size());
    for (const std::string& field : fields) {
      parts.push_back({const_cast<char*>(field.data()), field.size()});
    }
    return sd_journal_sendv(parts.data(), static_cast<int>(parts.size()));
  }
};

template <class N>
bool parseWhole(std::string_view text, N& value) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

std::string field(std::string_view name, std::string_view value) {
  std::string out(name);
  out += '=';
  out += value;
  return out;
}

}  // namespace

JournalWriter& systemJournal() {
  static auto* journal = new SystemJournal;
  return *journal;
}

void JournalSink::write(const LogRecord& record) {
  if (journal_.send(journalFields(record)) < 0) fallback_.write(record);
}

std::vector<std::string> journalFields(const LogRecord& record) {
  std::vector<std::string> fields{
      field("MESSAGE", record.message),
      field("PRIORITY", std::to_string(journalPriority(record.level))),
      "SYSLOG_IDENTIFIER=vorlane",
  };
  if (record.ours()) fields.push_back(field("VORLANE_SUBSYSTEM", record.subsystem));
  fields.push_back(field("VORLANE_CATEGORY", record.category));
  return fields;
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
