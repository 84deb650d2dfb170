#include "app/termination_deadline.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/logging/log_handler.h"
#include "tests/support/log_capture.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using std::chrono::nanoseconds;

constexpr TerminationDeadline::Limits limits{.whileSaving = 15s, .afterSaving = 5s};

// A clock that moves only when told. The counting thread's wait returns once the time has
// moved, so that `waitForLookAt` knows the thread has seen a time and let it pass.
class SteppedClock {
 public:
  TerminationDeadline::Clock clock() {
    return {.now =
                [this] {
                  std::lock_guard lock(mutex_);
                  return now_;
                },
            .sleep =
                [this](nanoseconds) {
                  std::unique_lock lock(mutex_);
                  const nanoseconds seen = now_;
                  lookedAt_ = seen;
                  changed_.notify_all();
                  changed_.wait(lock, [&] { return now_ != seen; });
                }};
  }
  void moveTo(nanoseconds time) {
    std::lock_guard lock(mutex_);
    now_ = time;
    changed_.notify_all();
  }
  // Whether the counting thread has looked at `time` and waits on, within a generous while.
  bool waitForLookAt(nanoseconds time) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 30s, [&] { return lookedAt_ == time; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  nanoseconds now_{0};
  std::optional<nanoseconds> lookedAt_;
};

// Stands in for _exit: notes the status.
class ExitRecord {
 public:
  TerminationDeadline::Exit exit() {
    return [this](int status) {
      std::lock_guard lock(mutex_);
      status_ = status;
      ended_.notify_all();
    };
  }
  std::optional<int> status() {
    std::lock_guard lock(mutex_);
    return status_;
  }
  std::optional<int> waitForEnd() {
    std::unique_lock lock(mutex_);
    ended_.wait_for(lock, 30s, [&] { return status_.has_value(); });
    return status_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ended_;
  std::optional<int> status_;
};

struct Step {
  nanoseconds at;
  std::function<void(TerminationDeadline&)> act;
};

TEST(TerminationDeadline, AnEndThatStallsEndsAtItsLimitWithItsStatusAndSaysWhere) {
  const auto begin = [](int status) {
    return [status](TerminationDeadline& d) { d.begin(status); };
  };
  const auto saved = [](TerminationDeadline& d) { d.saved(); };
  const auto enter = [](const char* stage) {
    return [stage](TerminationDeadline& d) { d.enter(stage); };
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
    nanoseconds endsAt;
    int status;
    const char* stage;
  } rows[] = {
      {"stalled while saving: the saving limit",
       {{0s, begin(3)}, {1s, enter("saving the running focus")}},
       15s,
       3,
       "saving the running focus"},
      {"saved: the rest has the shorter limit from then",
       {{0s, begin(0)}, {2s, saved}, {3s, enter("closing the coordinator")}},
       7s,
       0,
       "closing the coordinator"},
      {"saved late: the first limit still holds",
       {{0s, begin(0)}, {13s, saved}},
       15s,
       0,
       "beginning to end"},
      {"a second begin changes neither the limit nor the status",
       {{0s, begin(1)}, {10s, begin(0)}},
       15s,
       1,
       "beginning to end"},
      {"saved before the end began: no limit yet",
       {{1s, saved}, {2s, begin(0)}, {3s, enter("exiting")}},
       17s,
       0,
       "exiting"},
      {"the last stage named is the one said",
       {{0s, begin(0)}, {1s, enter("closing speech")}, {2s, enter("exiting")}},
       15s,
       0,
       "exiting"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    LogCapture log;
    SteppedClock time;
    ExitRecord record;
    TerminationDeadline deadline(limits, time.clock(), record.exit());
    for (const Step& step : row.steps) {
      time.moveTo(step.at);
      if (deadline.begun()) {
        ASSERT_TRUE(time.waitForLookAt(step.at));
      }
      step.act(deadline);
    }
    ASSERT_TRUE(deadline.begun());
    time.moveTo(row.endsAt - 1ns);
    ASSERT_TRUE(time.waitForLookAt(row.endsAt - 1ns));
    EXPECT_EQ(record.status(), std::nullopt) << "ended before its limit";
    time.moveTo(row.endsAt);
    EXPECT_EQ(record.waitForEnd(), row.status);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].level, LogLevel::error);
    EXPECT_NE(log.lines()[0].message.find(std::string("stalled while ") + row.stage),
              std::string::npos)
        << log.lines()[0].message;
  }
}

// The real thing in a child: the kernel's clock, _exit, and an end held by joining a worker
// that never ends. The child is gone soon after its limit, with the status and the line.
TEST(TerminationDeadline, AChildWhoseEndJoinsAWorkerForeverIsEndedWithItsStatus) {
  int pipe[2];
  ASSERT_EQ(::pipe(pipe), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::dup2(pipe[1], STDERR_FILENO);
    ::close(pipe[0]);
    installLogHandler();
    TerminationDeadline deadline({.whileSaving = 2s, .afterSaving = 200ms},
                                 TerminationDeadline::kernelClock(), &::_exit);
    deadline.begin(3);
    deadline.saved();
    deadline.enter("joining a worker");
    std::thread worker([] {
      for (;;) ::pause();
    });
    worker.join();
    ::_exit(0);
  }
  ::close(pipe[1]);
  std::string said;
  pollfd readable{pipe[0], POLLIN, 0};
  char buffer[512];
  // Until the child's end closes the pipe; a child still there after half a minute fails.
  bool closed = false;
  while (!closed && ::poll(&readable, 1, 30'000) == 1) {
    const ssize_t n = ::read(pipe[0], buffer, sizeof buffer);
    closed = n <= 0;
    if (n > 0) said.append(buffer, std::size_t(n));
  }
  ::close(pipe[0]);
  if (!closed) ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(closed) << "the child was never ended: " << said;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
  EXPECT_NE(said.find("vorlane[lifecycle] error: Vorlane did not end in time: it stalled while "
                      "joining a worker"),
            std::string::npos)
      << said;
}

}  // namespace
}  // namespace vorlane
