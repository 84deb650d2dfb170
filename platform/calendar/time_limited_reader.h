#pragma once

#include <chrono>
#include <memory>

#include "platform/calendar/busy_reader.h"

namespace vorlane {

// Runs a reader that may hang (a calendar service over the message bus) on a thread of its
// own, so that every call into it happens on that one thread, and gives up waiting after a
// time limit. A read that is still running when the next one comes makes the next one fail
// at once instead of queueing behind it; a late result is dropped.
//
// The thread starts with the first read, so that a reader nobody reads costs no thread.
// Destroying this object never waits: the thread is told to stop and left to finish alone.
// The inner reader is destroyed on that thread once it is done; one that was never read
// has done nothing and goes with this object.
class TimeLimitedReader final : public BusyReader {
 public:
  TimeLimitedReader(std::unique_ptr<BusyReader> inner, std::chrono::milliseconds limit);
  ~TimeLimitedReader() override;
  TimeLimitedReader(const TimeLimitedReader&) = delete;
  TimeLimitedReader& operator=(const TimeLimitedReader&) = delete;

  // Throws when the inner reader throws, is still busy, or does not answer within the limit
  // (the wait ends early, with nothing, when `cancel` is set).
  std::vector<BusyInterval> read(DateInterval interval, const CancelToken& cancel) const override;
  std::vector<std::string> places() const override { return places_; }

 private:
  struct State;
  static void serve(std::shared_ptr<State> state, std::unique_ptr<BusyReader> inner);

  std::shared_ptr<State> state_;
  std::vector<std::string> places_;
  std::chrono::milliseconds limit_;
};

}  // namespace vorlane
