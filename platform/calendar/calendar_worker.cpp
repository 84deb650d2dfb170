#include "platform/calendar/calendar_worker.h"

#include <QMetaObject>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace vorlane {

struct CalendarWorker::State {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Job> jobs;
  QObject* receiver = nullptr;  // null once the owner has gone
  CancelToken cancel;
};

CalendarWorker::CalendarWorker(QObject* receiver) : state_(std::make_shared<State>()) {
  state_->receiver = receiver;
}

CalendarWorker::~CalendarWorker() {
  std::deque<Job> dropped;  // destroyed here, on the owner's thread, after the lock
  std::lock_guard lock(state_->mutex);
  state_->receiver = nullptr;
  state_->cancel.cancel();
  dropped.swap(state_->jobs);
  state_->changed.notify_all();
}

void CalendarWorker::run(Job job) {
  {
    std::lock_guard lock(state_->mutex);
    state_->jobs.push_back(std::move(job));
    state_->changed.notify_all();
  }
  if (!std::exchange(started_, true)) std::thread(serve, state_).detach();
}

void CalendarWorker::serve(std::shared_ptr<State> state) {
  std::unique_lock lock(state->mutex);
  while (true) {
    state->changed.wait(lock, [&] { return !state->receiver || !state->jobs.empty(); });
    if (!state->receiver) break;
    Job job = std::move(state->jobs.front());
    state->jobs.pop_front();
    lock.unlock();
    Delivery delivery = job(state->cancel);
    job = nullptr;
    lock.lock();
    // Posted under the lock: the owner clears `receiver` under it before the receiver is
    // destroyed, and the receiver's destruction drops whatever was posted to it.
    if (state->receiver) {
      QMetaObject::invokeMethod(state->receiver, std::move(delivery), Qt::QueuedConnection);
    }
  }
}

}  // namespace vorlane
