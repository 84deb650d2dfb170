#include "core/productivity/weekly_reflection.h"

#include <cmath>
#include <unordered_set>

#include "foundation/text.h"

namespace vorlane {
namespace {

constexpr double week = 604800;
// Keeps the minute total inside the range of a 64-bit integer.
constexpr double minuteCap = 0x1p62;

bool counts(const FocusSample& sample) {
  return std::isfinite(sample.duration) && sample.duration >= 0;
}

// Blank texts dropped; of texts equal but for letter case (and canonical equivalence), the
// first kept exactly as it came.
std::vector<std::string> distinctGoals(const std::vector<std::string>& texts) {
  std::vector<std::string> kept;
  std::unordered_set<std::string> seen;
  for (const std::string& text : texts) {
    if (trimmed(text).empty()) continue;
    if (seen.insert(composed(lowercased(text))).second) kept.push_back(text);
  }
  return kept;
}

}  // namespace

WeeklyReflection::TimeOfDay WeeklyReflection::band(std::int64_t hour) {
  if (hour >= 6 && hour <= 11) return TimeOfDay::morning;
  if (hour >= 12 && hour <= 17) return TimeOfDay::afternoon;
  if (hour >= 18 && hour <= 23) return TimeOfDay::evening;
  return TimeOfDay::overnight;
}

std::string_view WeeklyReflection::rawValue(TimeOfDay time) {
  switch (time) {
    case TimeOfDay::morning:
      return "Morning \u00B7 6am\u2013noon";
    case TimeOfDay::afternoon:
      return "Afternoon \u00B7 noon\u20136pm";
    case TimeOfDay::evening:
      return "Evening \u00B7 6pm\u2013midnight";
    case TimeOfDay::overnight:
      return "Overnight \u00B7 midnight\u20136am";
  }
  return {};
}

std::optional<WeeklyReflection::TimeOfDay> WeeklyReflection::timeOfDay(std::string_view label) {
  for (TimeOfDay time : allTimesOfDay) {
    if (rawValue(time) == label) return time;
  }
  return std::nullopt;
}

WeeklyReflection::WeeklyReflection(Date at, std::int64_t weekOffset,
                                   const std::vector<FocusSample>& history,
                                   const DailyPriorities& priorities, const Calendar& calendar) {
  // The calendar keeps `at` when it cannot add the weeks.
  const Date anchor = calendar.addingWeeks(weekOffset, at);
  interval_ = calendar.weekInterval(anchor);
  if (!(interval_.end > interval_.start)) interval_ = {anchor, anchor + week};
  const auto inWeek = [&](Date date) { return interval_.contains(date); };

  double seconds = 0;
  for (const FocusSample& sample : history) {
    if (!inWeek(sample.finishedAt) || !counts(sample)) continue;
    ++completedSessions_;
    seconds += sample.duration;
    ++completionTimes_[band(calendar.hour(sample.finishedAt))];
  }
  const double minutes = seconds / 60;
  recordedMinutes_ = std::llround(minutes > minuteCap ? minuteCap : minutes);

  std::vector<std::string> goals;
  std::unordered_set<UUID> priorityIDs;
  for (const DailyPriority& item : priorities.items()) {
    priorityIDs.insert(item.id);
    if (item.accomplishedAt && inWeek(*item.accomplishedAt)) goals.push_back(item.title);
  }
  // A session of a priority still listed speaks through that priority's title alone.
  for (const FocusSample& sample : history) {
    if (sample.accomplishedAt && inWeek(*sample.accomplishedAt) &&
        !(sample.priorityID && priorityIDs.contains(*sample.priorityID))) {
      goals.push_back(sample.goal);
    }
  }
  accomplishedGoals_ = distinctGoals(goals);

  const std::string startKey = DailyPriorities::dayKey(interval_.start, calendar);
  const std::string endKey = DailyPriorities::dayKey(interval_.end, calendar);
  for (const DailyPriority& item : priorities.items()) {
    if (item.accomplishedAt || item.plannedDays.size() <= 1) continue;
    for (const std::string& key : item.plannedDays) {
      if (startKey <= key && key < endKey) {
        broughtForward_.push_back(item.title);
        break;
      }
    }
  }
}

}  // namespace vorlane
