#include "platform/logging/log_journal.h"

#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <cerrno>

#include "platform/logging/log.h"
#include "platform/logging/log_handler.h"

namespace vorlane {
namespace {

Q_LOGGING_CATEGORY(qtOwn, "qt.vorlane.journal")

using Fields = std::vector<std::string>;

struct FakeJournal final : JournalWriter {
  int send(const Fields& fields) override {
    entries.push_back(fields);
    return result;
  }
  std::vector<Fields> entries;
  int result = 0;
};

struct RecordingSink final : LogSink {
  void write(const LogRecord& record) override { lines.push_back(std::string(record.message)); }
  std::vector<std::string> lines;
};

TEST(LogJournal, EveryLineThroughTheHandlerIsOneEntryWithItsFields) {
  installLogHandler();
  FakeJournal journal;
  RecordingSink fallback;
  JournalSink sink(journal, fallback);
  LogSink* previous = installLogSink(&sink);
  Log::reminders().error("could not save %s", "my secret\nlist");
  Log::scheduling().debug("next visit in %ld s", 42L);
  Log::lifecycle().info("started %{public}s", "v1");
  Log::pomodoro().fault("lost %u", 3u);
  qCInfo(qtOwn, "from Qt");
  journal.result = -ENOTCONN;
  Log::speech().error("refused %d", 1);
  installLogSink(previous);

  const auto ours = [](std::string message, int priority, std::string category) {
    return Fields{"MESSAGE=" + message, "PRIORITY=" + std::to_string(priority),
                  "SYSLOG_IDENTIFIER=vorlane", "VORLANE_SUBSYSTEM=com.corvantis.vorlane",
                  "VORLANE_CATEGORY=" + category};
  };
  EXPECT_EQ(journal.entries, (std::vector<Fields>{
                                 ours("could not save <private>", 3, "reminders"),
                                 ours("next visit in 42 s", 7, "scheduling"),
                                 ours("started v1", 6, "lifecycle"),
                                 ours("lost 3", 2, "pomodoro"),
                                 {"MESSAGE=from Qt", "PRIORITY=6", "SYSLOG_IDENTIFIER=vorlane",
                                  "VORLANE_CATEGORY=qt.vorlane.journal"},
                                 ours("refused 1", 3, "speech"),
                             }));
  EXPECT_EQ(fallback.lines, Fields{"refused 1"});  // a refused entry is not lost
}

TEST(LogJournal, UsedOnlyWhenTheStreamNamesStderr) {
  const std::pair<const char*, bool> rows[] = {
      {nullptr, false},     {"64769:1234", true}, {"64769:999", false},   {"1:1234", false},
      {"647691234", false}, {"", false},          {"64769:1234x", false}, {"-1:1234", false},
  };
  for (const auto& [env, expected] : rows) {
    EXPECT_EQ(journalStreamMatches(env, 64769, 1234), expected) << (env ? env : "unset");
  }
}

}  // namespace
}  // namespace vorlane
