#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "core/focus/focus_history_entry.h"
#include "core/productivity/daily_priorities.h"
#include "core/productivity/focus_sample.h"
#include "core/productivity/weekly_reflection.h"
#include "foundation/calendar.h"
#include "foundation/date.h"

namespace vorlane {

// What the weekly reflection window shows, computed from the history and the plan as the
// stores publish them, and worded as the window words it.

// The history's entries as the reflection reads them, in the same order.
std::vector<FocusSample> focusSamples(const std::vector<FocusHistoryEntry>& entries);

// The summary of the week `weekOffset` weeks from the one holding `at` (0 this week, -1 last).
WeeklyReflection reflectionOf(const std::vector<FocusHistoryEntry>& entries,
                              const DailyPriorities& plan, Date at, std::int64_t weekOffset,
                              const Calendar& calendar);

// "3 completed sessions · 75 recorded minutes"; "1 completed session" alone drops the "s", the
// minutes stay plural. Plain integers, never grouped.
QString completedSessionsLine(std::int64_t sessions, std::int64_t minutes);

// The week's first and last day as medium dates in the calendar's locale, joined by an en
// dash: "Mar 1, 2026 – Mar 7, 2026". The end is exclusive, so the last day is the one holding
// the second before it.
QString weekRangeLine(const DateInterval& week, const Calendar& calendar);

}  // namespace vorlane
