#include "platform/logging/log_journal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLoggingCategory>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/logging/log.h"
#include "platform/logging/log_handler.h"
#include "platform/logging/log_sink.h"

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

// The real writer, against a journal socket of our own: a child process mounts an empty
// /run in a private mount namespace, listens where the journal would, and sends one entry.
TEST(LogJournal, TheSystemWriterSendsOneDatagramToTheJournalSocket) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(fds[0]);
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    // Without root, a user namespace of our own, where we are root and may mount.
    const auto writeFile = [](const char* path, const std::string& text) {
      const int fd = ::open(path, O_WRONLY);
      const bool written = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
      if (fd >= 0) ::close(fd);
      return written;
    };
    if (uid != 0 && (::unshare(CLONE_NEWUSER) != 0 || !writeFile("/proc/self/setgroups", "deny") ||
                     !writeFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
                     !writeFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))) {
      ::_exit(2);
    }
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", "/run", "tmpfs", 0, nullptr) != 0) {
      ::_exit(2);
    }
    ::mkdir("/run/systemd", 0755);
    ::mkdir("/run/systemd/journal", 0755);
    const int listener = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, "/run/systemd/journal/socket");
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) ::_exit(3);
    if (systemJournal().send({"MESSAGE=two\nlines", "PRIORITY=3", "VORLANE_CATEGORY=speech"}) < 0) {
      ::_exit(4);
    }
    char datagram[4096];
    const ssize_t size = ::recv(listener, datagram, sizeof datagram, MSG_DONTWAIT);
    if (size <= 0 || ::write(fds[1], datagram, static_cast<std::size_t>(size)) != size) ::_exit(5);
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string received;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) received.append(buffer, n);
  ::close(fds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "no private mount namespace here";
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(received.find("PRIORITY=3\n"), std::string::npos) << received;
  EXPECT_NE(received.find("VORLANE_CATEGORY=speech\n"), std::string::npos) << received;
  // A value holding a newline goes in the journal's length-prefixed form, whole.
  EXPECT_NE(received.find("MESSAGE\n"), std::string::npos) << received;
  EXPECT_NE(received.find("two\nlines"), std::string::npos) << received;
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

// What the About window names: the journal only when it owns stderr, whatever stderr is.
TEST(LogJournal, TheDestinationAUserIsToldFollowsTheSinkChosen) {
  const struct {
    bool journal;
    bool terminal;
    LogDestination expected;
  } rows[] = {
      {true, true, LogDestination::journal},
      {true, false, LogDestination::journal},
      {false, true, LogDestination::terminal},
      {false, false, LogDestination::standardError},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(logDestination(row.journal, row.terminal), row.expected)
        << row.journal << row.terminal;
  }
}

}  // namespace
}  // namespace vorlane
