#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "platform/calendar/cancel_token.h"

namespace vorlane {

// A thread of its own that runs calendar reads one at a time, in order, and hands each
// result to the receiver's thread. The thread starts with the first read: most users never
// read a calendar, and an idle thread still costs its stack. Destroying it never waits for a read
// in progress (a calendar service may hang): the read is cancelled, queued reads are dropped, and
// the thread is left to finish alone; nothing it produces after that is delivered.
class CalendarWorker {
 public:
  using Delivery = std::function<void()>;
  // Runs on the worker thread; returns what to run on the receiver's thread.
  using Job = std::function<Delivery(const CancelToken& cancel)>;

  // `receiver` must outlive this object; deliveries still queued for it when it is
  // destroyed are dropped with it.
  explicit CalendarWorker(QObject* receiver);
  ~CalendarWorker();
  CalendarWorker(const CalendarWorker&) = delete;
  CalendarWorker& operator=(const CalendarWorker&) = delete;

  void run(Job job);
  // Whether the thread has been started (by the first run); for tests.
  bool started() const { return started_; }

 private:
  struct State;
  static void serve(std::shared_ptr<State> state);

  std::shared_ptr<State> state_;
  bool started_ = false;
};

}  // namespace vorlane
