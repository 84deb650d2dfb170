#include "platform/calendar/time_limited_reader.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

namespace vorlane {

struct TimeLimitedReader::State {
  std::mutex mutex;
  std::condition_variable changed;
  bool stopping = false;
  // The read handed to the thread, and then its outcome; one at a time.
  std::optional<DateInterval> request;
  CancelToken requestCancel;
  bool running = false;
  std::uint64_t generation = 0;  // of the read in `request` or running
  std::uint64_t finished = 0;    // generation whose outcome is below
  std::vector<BusyInterval> result;
  std::exception_ptr error;
  // The inner reader until the first read hands it to the thread.
  std::unique_ptr<BusyReader> unstarted;
};

TimeLimitedReader::TimeLimitedReader(std::unique_ptr<BusyReader> inner,
                                     std::chrono::milliseconds limit)
    : state_(std::make_shared<State>()), places_(inner->places()), limit_(limit) {
  state_->unstarted = std::move(inner);
}

TimeLimitedReader::~TimeLimitedReader() {
  std::lock_guard lock(state_->mutex);
  state_->stopping = true;
  state_->requestCancel.cancel();
  state_->changed.notify_all();
}

std::vector<BusyInterval> TimeLimitedReader::read(DateInterval interval,
                                                  const CancelToken& cancel) const {
  std::unique_lock lock(state_->mutex);
  if (state_->running || state_->request) {
    throw std::runtime_error("the calendar service is still busy with an earlier read");
  }
  if (state_->unstarted) std::thread(serve, state_, std::move(state_->unstarted)).detach();
  const std::uint64_t generation = ++state_->generation;
  state_->request = interval;
  state_->requestCancel = cancel;
  state_->changed.notify_all();

  // Short slices, so that a cancellation is seen soon without the canceller having to know
  // about this wait.
  const auto deadline = std::chrono::steady_clock::now() + limit_;
  while (state_->finished != generation) {
    if (cancel.cancelled()) return {};
    if (std::chrono::steady_clock::now() >= deadline) {
      throw std::runtime_error("the calendar service did not answer in time");
    }
    state_->changed.wait_for(lock, std::chrono::milliseconds(20));
  }
  if (state_->error) std::rethrow_exception(std::exchange(state_->error, nullptr));
  return std::exchange(state_->result, {});
}

void TimeLimitedReader::serve(std::shared_ptr<State> state, std::unique_ptr<BusyReader> inner) {
  std::unique_lock lock(state->mutex);
  while (true) {
    state->changed.wait(lock, [&] { return state->stopping || state->request; });
    if (state->stopping) break;
    const DateInterval interval = *std::exchange(state->request, std::nullopt);
    const CancelToken cancel = state->requestCancel;
    const std::uint64_t generation = state->generation;
    state->running = true;
    lock.unlock();

    std::vector<BusyInterval> result;
    std::exception_ptr error;
    try {
      result = inner->read(interval, cancel);
    } catch (...) {
      error = std::current_exception();
    }

    lock.lock();
    state->running = false;
    state->finished = generation;
    state->result = std::move(result);
    state->error = error;
    state->changed.notify_all();
  }
  lock.unlock();
  inner.reset();  // on this thread, where the reader did all its work
}

}  // namespace vorlane
