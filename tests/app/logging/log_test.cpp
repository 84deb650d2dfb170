#include "app/logging/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/logging/log_capture.h"
#include "app/logging/log_sink.h"

namespace vorlane {
namespace {

TEST(Log, EachCategoryIsOneSharedLoggerUnderTheSubsystem) {
  const struct {
    const Logger& (*get)();
    const char* category;
  } rows[] = {
      {&Log::lifecycle, "lifecycle"},       {&Log::scheduling, "scheduling"},
      {&Log::suppression, "suppression"},   {&Log::presentation, "presentation"},
      {&Log::speech, "speech"},             {&Log::reminders, "reminders"},
      {&Log::pomodoro, "pomodoro"},
  };
  std::set<const Logger*> distinct;
  for (const auto& row : rows) {
    EXPECT_EQ(row.get().category(), row.category);
    EXPECT_EQ(row.get().subsystem(), "com.corvantis.vorlane");
    EXPECT_EQ(&row.get(), &row.get()) << row.category;
    distinct.insert(&row.get());
  }
  EXPECT_EQ(distinct.size(), 7u);
}

TEST(Log, FirstUseFromManyThreadsYieldsOneLogger) {
  std::vector<const Logger*> seen(8);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&seen, i] { seen[i] = &Log::pomodoro(); });
  }
  for (auto& t : threads) t.join();
  for (const Logger* logger : seen) EXPECT_EQ(logger, &Log::pomodoro());
}

TEST(LogCapture, RecordsLevelCategoryAndRenderedText) {
  LogCapture capture;
  Log::reminders().debug("added %{public}s", "tea");
  Log::speech().info("ducking other audio: %{bool}d", false);
  Log::lifecycle().error("launch at login failed: %s", "EACCES");
  Log::pomodoro().fault("lost %d", 2);
  const std::vector<LogCapture::Line> expected = {
      {LogLevel::debug, "reminders", "added tea"},
      {LogLevel::info, "speech", "ducking other audio: false"},
      {LogLevel::error, "lifecycle", "launch at login failed: <private>"},
      {LogLevel::fault, "pomodoro", "lost 2"},
  };
  EXPECT_EQ(capture.lines(), expected);
}

TEST(LogCapture, NestedCapturesRestoreTheOuterOne) {
  LogCapture outer;
  Log::speech().info("one");
  {
    LogCapture inner;
    Log::speech().info("two");
    ASSERT_EQ(inner.lines().size(), 1u);
    EXPECT_EQ(inner.lines()[0].message, "two");
  }
  Log::speech().info("three");
  ASSERT_EQ(outer.lines().size(), 2u);
  EXPECT_EQ(outer.lines()[0].message, "one");
  EXPECT_EQ(outer.lines()[1].message, "three");
}

TEST(LogCapture, KeepsEveryLineFromConcurrentWriters) {
  LogCapture capture;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 250; ++i) Log::scheduling().info("%d:%d", t, i);
    });
  }
  for (auto& t : threads) t.join();
  std::set<std::string> messages;
  for (const auto& line : capture.lines()) messages.insert(line.message);
  EXPECT_EQ(messages.size(), 1000u);
}

TEST(LogSink, StderrLineIsOneEscapedLine) {
  const struct {
    const char* name;
    std::string message;
    std::string expected;
  } rows[] = {
      {"plain", "tick", "vorlane[speech] error: tick\n"},
      {"newline and return", "a\nb\rc", "vorlane[speech] error: a\\nb\\rc\n"},
      {"tab, backslash, control", std::string("t\tq\\z\x01", 6),
       "vorlane[speech] error: t\\tq\\\\z\\x01\n"},
      {"utf-8 kept", "caf\xc3\xa9", "vorlane[speech] error: caf\xc3\xa9\n"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(stderrLogLine("speech", LogLevel::error, row.message), row.expected) << row.name;
  }
}

TEST(LogSink, LevelsMapToJournalPriorities) {
  EXPECT_EQ(journalPriority(LogLevel::debug), 7);
  EXPECT_EQ(journalPriority(LogLevel::info), 6);
  EXPECT_EQ(journalPriority(LogLevel::error), 3);
  EXPECT_EQ(journalPriority(LogLevel::fault), 2);
}

TEST(LogSink, JournalIsUsedOnlyWhenTheStreamNamesStderr) {
  const struct {
    const char* name;
    const char* env;
    bool expected;
  } rows[] = {
      {"unset", nullptr, false},
      {"matching", "64769:1234", true},
      {"other inode (inherited, stale)", "64769:999", false},
      {"other device", "1:1234", false},
      {"no colon", "647691234", false},
      {"empty", "", false},
      {"trailing junk", "64769:1234x", false},
      {"negative", "-1:1234", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(journalStreamMatches(row.env, 64769, 1234), row.expected) << row.name;
  }
}

// The default sink outside the journal: one escaped line per message on stderr.
TEST(LogSink, DefaultSinkWritesToStderr) {
  if (const char* stream = std::getenv("JOURNAL_STREAM"); stream != nullptr) {
    GTEST_SKIP() << "running under the journal";
  }
  char path[] = "/tmp/vorlane-log-XXXXXX";
  int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  std::fflush(stderr);
  int saved = ::dup(STDERR_FILENO);
  ::dup2(fd, STDERR_FILENO);
  Log::presentation().info("shown %{public}s", "two\nlines");
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  ::close(fd);
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  ::unlink(path);
  EXPECT_EQ(text.str(), "vorlane[presentation] info: shown two\\nlines\n");
}

}  // namespace
}  // namespace vorlane
