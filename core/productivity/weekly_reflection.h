#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/productivity/daily_priorities.h"
#include "core/productivity/focus_sample.h"
#include "foundation/calendar.h"
#include "foundation/date.h"

namespace vorlane {

// The summary of one calendar week: sessions finished in it, their minutes and times of day,
// what was accomplished, and open priorities that keep being planned again. Computed once
// from its inputs; it cannot fail.
class WeeklyReflection {
 public:
  enum class TimeOfDay { morning, afternoon, evening, overnight };

  static constexpr std::array<TimeOfDay, 4> allTimesOfDay = {
      TimeOfDay::morning, TimeOfDay::afternoon, TimeOfDay::evening, TimeOfDay::overnight};
  // Hours 6-11 morning, 12-17 afternoon, 18-23 evening, anything else overnight.
  static TimeOfDay band(std::int64_t hour);
  // The display label, "Morning · 6am–noon" and so on.
  static std::string_view rawValue(TimeOfDay time);
  // The band whose label is exactly `label`; none for any other text, however alike.
  static std::optional<TimeOfDay> timeOfDay(std::string_view label);

  // The week `weekOffset` weeks from the week of `at` (0 this week, -1 the one before) in
  // `calendar`, with its first weekday and time zone.
  WeeklyReflection(Date at, std::int64_t weekOffset, const std::vector<FocusSample>& history,
                   const DailyPriorities& priorities, const Calendar& calendar);

  // From the start of the week's first day to the start of the day after its last; a week
  // with a clock change is an hour shorter or longer than seven times 24 hours.
  const DateInterval& interval() const { return interval_; }
  // Titles of priorities accomplished in the week, then goals of sessions accomplished in it
  // that belong to no listed priority; blank ones dropped, the first of those equal but for
  // letter case kept as written.
  const std::vector<std::string>& accomplishedGoals() const { return accomplishedGoals_; }
  // Titles of open priorities planned on more than one day, one of them in the week.
  const std::vector<std::string>& broughtForward() const { return broughtForward_; }
  // Sessions that finished in the week with a finite, non-negative duration.
  std::int64_t completedSessions() const { return completedSessions_; }
  // Their total duration in minutes, rounded half away from zero.
  std::int64_t recordedMinutes() const { return recordedMinutes_; }
  // Counted sessions per band of the hour they finished; no entry for an empty band.
  const std::map<TimeOfDay, std::int64_t>& completionTimes() const { return completionTimes_; }

 private:
  DateInterval interval_;
  std::vector<std::string> accomplishedGoals_;
  std::vector<std::string> broughtForward_;
  std::int64_t completedSessions_ = 0;
  std::int64_t recordedMinutes_ = 0;
  std::map<TimeOfDay, std::int64_t> completionTimes_;
};

}  // namespace vorlane
