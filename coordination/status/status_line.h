#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/focus/pomodoro_session.h"
#include "foundation/date.h"

namespace vorlane {

// The status menu's one line on what the mascot does next, from values read at the moment
// of asking. The first that applies wins: a mute still in force ("muted until 3:00 PM"), a
// finished period waiting ("25 min focus complete - Finished 5 min ago"), a paused period
// ("paused, 12:00 left"), a running one ("focus until 2:25 PM - write report"), the next
// visit ("next visit at 4:00 PM"), else "no visits scheduled". Clock times go through
// `formatTime`. `nextVisit` is asked only when no mute or period comes first: with thousands
// of reminders it is the costly part, and a session refreshes the line every second.
std::string nextVisitDescription(const PomodoroSession& session, std::optional<Date> mutedUntil,
                                 const std::function<std::optional<Date>()>& nextVisit, Date now,
                                 const std::function<std::string(Date)>& formatTime);

}  // namespace vorlane
