#include "platform/logging/log.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "platform/logging/log_capture.h"
#include "platform/logging/log_sink.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

TEST(LogCapture, RecordsRenderedLinesAndNestsInStackOrder) {
  LogCapture outer;
  Log::reminders().debug("added %{public}s", "tea");
  {
    LogCapture inner;
    Log::lifecycle().error("launch at login failed: %s", "EACCES");
    EXPECT_EQ(inner.lines(),
              (std::vector<LogCapture::Line>{
                  {LogLevel::error, "lifecycle", "launch at login failed: <private>"}}));
  }
  Log::speech().info("ducking other audio: %{bool}d", false);
  Log::pomodoro().fault("lost %d", 2);
  EXPECT_EQ(outer.lines(), (std::vector<LogCapture::Line>{
                               {LogLevel::debug, "reminders", "added tea"},
                               {LogLevel::info, "speech", "ducking other audio: false"},
                               {LogLevel::fault, "pomodoro", "lost 2"},
                           }));
}

TEST(LogSink, StderrLineIsOneEscapedLine) {
  const std::pair<std::string, std::string> rows[] = {
      {"tick", "tick"},
      {"a\nb\rc", "a\\nb\\rc"},
      {std::string("t\tq\\z\x01", 6), "t\\tq\\\\z\\x01"},
      {"caf\xc3\xa9", "caf\xc3\xa9"},
  };
  for (const auto& [message, escaped] : rows) {
    EXPECT_EQ(stderrLogLine("speech", LogLevel::error, message),
              "vorlane[speech] error: " + escaped + "\n");
  }
}

TEST(LogSink, JournalIsUsedOnlyWhenTheStreamNamesStderr) {
  const std::pair<const char*, bool> rows[] = {
      {nullptr, false},     {"64769:1234", true}, {"64769:999", false},   {"1:1234", false},
      {"647691234", false}, {"", false},          {"64769:1234x", false}, {"-1:1234", false},
  };
  for (const auto& [env, expected] : rows) {
    EXPECT_EQ(journalStreamMatches(env, 64769, 1234), expected) << (env ? env : "unset");
  }
}

TEST(LogSink, DefaultSinkWritesOneLineToStderr) {
  if (::getenv("JOURNAL_STREAM") != nullptr) GTEST_SKIP() << "running under the journal";
  testing::TempFolder temp;
  const auto file = temp / "stderr";
  testing::writeFile(file, "");
  int fd = ::open(file.c_str(), O_WRONLY);
  int saved = ::dup(STDERR_FILENO);
  ::dup2(fd, STDERR_FILENO);
  Log::presentation().info("shown %{public}s", "two\nlines");
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  ::close(fd);
  EXPECT_EQ(testing::readFile(file), "vorlane[presentation] info: shown two\\nlines\n");
}

}  // namespace
}  // namespace vorlane
