#pragma once

#include <exception>
#include <functional>
#include <vector>

#include "core/contracts/busy_interval.h"
#include "core/contracts/calendar_access.h"
#include "foundation/date.h"

namespace vorlane {

// The calendar's free and busy times, read only.
//
// The two asynchronous operations return at once and call their completion exactly once,
// later, on the main thread: with a result and a null error, or with an error (the result
// then empty or false).
class CalendarAvailabilitySource {
 public:
  using AccessCompletion = std::function<void(bool granted, std::exception_ptr error)>;
  using BusyCompletion =
      std::function<void(std::vector<BusyInterval> intervals, std::exception_ptr error)>;

  CalendarAvailabilitySource() = default;
  CalendarAvailabilitySource(const CalendarAvailabilitySource&) = delete;
  CalendarAvailabilitySource& operator=(const CalendarAvailabilitySource&) = delete;
  virtual ~CalendarAvailabilitySource() = default;

  virtual CalendarAccess access() const = 0;
  // Asks the user for calendar access; yields whether it was granted.
  virtual void requestAccess(AccessCompletion completion) = 0;
  // The busy stretches that fall in `interval`.
  virtual void busyIntervals(DateInterval interval, BusyCompletion completion) = 0;
};

}  // namespace vorlane
