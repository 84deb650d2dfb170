#include "ui/windows/weekly_reflection/weekly_reflection_figures.h"

#include "foundation/date_formatter.h"

namespace vorlane {

std::vector<FocusSample> focusSamples(const std::vector<FocusHistoryEntry>& entries) {
  std::vector<FocusSample> samples;
  samples.reserve(entries.size());
  for (const FocusHistoryEntry& entry : entries) {
    samples.push_back(
        {entry.focus, entry.duration, entry.finishedAt, entry.accomplishedAt, entry.priorityID});
  }
  return samples;
}

WeeklyReflection reflectionOf(const std::vector<FocusHistoryEntry>& entries,
                              const DailyPriorities& plan, Date at, std::int64_t weekOffset,
                              const Calendar& calendar) {
  return WeeklyReflection(at, weekOffset, focusSamples(entries), plan, calendar);
}

QString completedSessionsLine(std::int64_t sessions, std::int64_t minutes) {
  return QString::number(sessions) +
         (sessions == 1 ? QStringLiteral(" completed session")
                        : QStringLiteral(" completed sessions")) +
         QStringLiteral(" \u00B7 ") + QString::number(minutes) +
         QStringLiteral(" recorded minutes");
}

QString weekRangeLine(const DateInterval& week, const Calendar& calendar) {
  const DateFormatter formatter(calendar, DateFormatter::Style::mediumDate);
  return QString::fromStdString(formatter.format(week.start)) + QStringLiteral(" \u2013 ") +
         QString::fromStdString(formatter.format(week.end - 1));
}

}  // namespace vorlane
