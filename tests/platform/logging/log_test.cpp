#include "platform/logging/log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QLoggingCategory>

#include "platform/logging/log_handler.h"
#include "platform/logging/log_sink.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

Q_LOGGING_CATEGORY(qtOwn, "qt.vorlane.test")

TEST(Log, EachCategoryIsAQtCategoryThatRulesTurnDownAndUp) {
  const std::pair<const Logger*, std::string> rows[] = {
      {&Log::lifecycle(), "lifecycle"},     {&Log::scheduling(), "scheduling"},
      {&Log::suppression(), "suppression"}, {&Log::presentation(), "presentation"},
      {&Log::speech(), "speech"},           {&Log::reminders(), "reminders"},
      {&Log::pomodoro(), "pomodoro"},
  };
  using Lines = std::vector<LogCapture::Line>;
  for (const auto& [logger, name] : rows) {
    const std::string full = "com.corvantis.vorlane." + name;
    EXPECT_EQ(logger->qtCategory().categoryName(), full);
    EXPECT_EQ(logger->category(), name);
    LogCapture log;
    QLoggingCategory::setFilterRules(QString::fromStdString(full + ".debug=false"));
    logger->debug("hidden %d", 1);
    logger->info("shown %d", 2);
    QLoggingCategory::setFilterRules(QString::fromStdString(
        "com.corvantis.vorlane.*=false\n" + full + ".debug=true\n" + full + ".critical=true"));
    logger->debug("shown %d", 3);
    logger->error("hidden %d", 4);
    logger->fault("shown %d", 5);
    Log::speech().info("hidden %d", 6);  // every other level of every category is off
    QLoggingCategory::setFilterRules({});
    EXPECT_EQ(log.lines(), (Lines{{LogLevel::info, name, "shown 2"},
                                  {LogLevel::debug, name, "shown 3"},
                                  {LogLevel::fault, name, "shown 5"}}))
        << name;
  }
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

TEST(LogSink, DefaultSinkWritesOurLinesAndQtsOneLineEachToStderr) {
  if (::getenv("JOURNAL_STREAM") != nullptr) GTEST_SKIP() << "running under the journal";
  installLogHandler();
  testing::TempFolder temp;
  const auto file = temp / "stderr";
  testing::writeFile(file, "");
  int fd = ::open(file.c_str(), O_WRONLY);
  int saved = ::dup(STDERR_FILENO);
  ::dup2(fd, STDERR_FILENO);
  Log::presentation().info("shown %{public}s", "two\nlines");
  qCWarning(qtOwn, "from Qt %s", "itself");
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  ::close(fd);
  EXPECT_EQ(testing::readFile(file),
            "vorlane[presentation] info: shown two\\nlines\n"
            "vorlane[qt.vorlane.test] error: from Qt itself\n");
}

}  // namespace
}  // namespace vorlane
