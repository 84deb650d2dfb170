#include "app/termination_deadline.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/logging/log.h"

namespace vorlane {
namespace {

using std::chrono::nanoseconds;

// How often the counting thread looks again: a limit shortened by `saved` is seen this soon.
constexpr nanoseconds lookInterval = std::chrono::milliseconds(100);

nanoseconds kernelNow() {
  timespec now{};
  ::syscall(SYS_clock_gettime, CLOCK_MONOTONIC, &now);
  return std::chrono::seconds(now.tv_sec) + nanoseconds(now.tv_nsec);
}

void kernelSleep(nanoseconds duration) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration);
  timespec left{static_cast<time_t>(seconds.count()),
                static_cast<long>((duration - seconds).count())};
  while (::syscall(SYS_clock_nanosleep, CLOCK_MONOTONIC, 0, &left, &left) != 0 && errno == EINTR) {
  }
}

void exitAtOnce(int status) { ::_exit(status); }

}  // namespace

struct TerminationDeadline::State {
  Limits limits;
  Clock clock;
  Exit exit;
  std::mutex mutex;  // begin and saved
  std::atomic<bool> begun{false};
  std::atomic<int> status{0};
  std::atomic<const char*> stage{"beginning to end"};
  // On `clock`; none until the end begins.
  std::atomic<std::int64_t> deadline{std::numeric_limits<std::int64_t>::max()};

  // Runs on the counting thread until the process ends one way or the other.
  void watch() {
    for (;;) {
      const nanoseconds left = nanoseconds(deadline.load()) - clock.now();
      if (left <= nanoseconds::zero()) break;
      clock.sleep(std::min(left, lookInterval));
    }
    Log::lifecycle().error(
        "Vorlane did not end in time: it stalled while %{public}s, and ends now with status %d, "
        "leaving the rest undone",
        stage.load(), status.load());
    exit(status.load());
  }
};

TerminationDeadline::TerminationDeadline()
    : TerminationDeadline(Limits{}, kernelClock(), &exitAtOnce) {}

TerminationDeadline::TerminationDeadline(Limits limits, Clock clock, Exit exit)
    : state_(std::make_shared<State>()) {
  state_->limits = limits;
  state_->clock = std::move(clock);
  state_->exit = std::move(exit);
}

TerminationDeadline::Clock TerminationDeadline::kernelClock() {
  return {.now = &kernelNow, .sleep = &kernelSleep};
}

void TerminationDeadline::begin(int status) {
  std::lock_guard lock(state_->mutex);
  if (state_->begun) return;
  state_->status = status;
  state_->deadline = (state_->clock.now() + state_->limits.whileSaving).count();
  state_->begun = true;
  // The thread holds the state: it outlives this object, and the static objects torn down
  // at exit, by never being freed before the process goes.
  try {
    std::thread([state = state_] { state->watch(); }).detach();
  } catch (const std::system_error& error) {
    Log::lifecycle().error("the end of Vorlane has no time limit: %{public}s", error.what());
  }
}

void TerminationDeadline::enter(const char* stage) { state_->stage = stage; }

void TerminationDeadline::saved() {
  std::lock_guard lock(state_->mutex);
  if (!state_->begun) return;
  const std::int64_t shorter = (state_->clock.now() + state_->limits.afterSaving).count();
  state_->deadline = std::min(state_->deadline.load(), shorter);
}

bool TerminationDeadline::begun() const { return state_->begun; }

}  // namespace vorlane
