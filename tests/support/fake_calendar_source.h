#pragma once

#include <exception>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/contracts/calendar_availability_source.h"

namespace vorlane {

// A calendar source whose answers wait until the test gives them, in any order. Access is
// whatever the test sets; it notes every interval asked for.
class FakeCalendarSource final : public CalendarAvailabilitySource {
 public:
  CalendarAccess access() const override { return accessNow; }
  void requestAccess(AccessCompletion completion) override {
    accessRequests.push_back(std::move(completion));
  }
  void busyIntervals(DateInterval interval, BusyCompletion completion) override {
    asked.push_back(interval);
    reads.push_back(std::move(completion));
  }

  // Answers the access request `index`: granting or refusing also records the answer, as
  // the real source stores it before answering.
  void answerAccess(std::size_t index, bool granted) {
    accessNow = granted ? CalendarAccess::granted : CalendarAccess::refused;
    take(accessRequests, index)(granted, nullptr);
  }
  void dismissAccess(std::size_t index) { take(accessRequests, index)(false, nullptr); }
  void failAccess(std::size_t index) {
    take(accessRequests, index)(false, std::make_exception_ptr(std::runtime_error("no prompt")));
  }
  // Completes read `index` (counted from the first ever asked).
  void answerRead(std::size_t index, std::vector<BusyInterval> busy) {
    take(reads, index)(std::move(busy), nullptr);
  }
  void failRead(std::size_t index) {
    take(reads, index)({}, std::make_exception_ptr(std::runtime_error("calendar unreadable")));
  }
  // Reads asked for and not yet answered.
  int pendingReads() const {
    int count = 0;
    for (const auto& read : reads) count += read ? 1 : 0;
    return count;
  }

  CalendarAccess accessNow = CalendarAccess::notAsked;
  std::vector<AccessCompletion> accessRequests;
  std::vector<DateInterval> asked;
  std::vector<BusyCompletion> reads;

 private:
  // Each completion runs once: taking it leaves an empty slot behind.
  template <class F>
  static F take(std::vector<F>& list, std::size_t index) {
    if (index >= list.size() || !list[index]) throw std::logic_error("no such pending call");
    return std::exchange(list[index], nullptr);
  }
};

}  // namespace vorlane
