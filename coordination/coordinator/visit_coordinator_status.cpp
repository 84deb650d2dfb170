// What the status item reads from the coordinator.
#include <algorithm>
#include <memory>

#include "coordination/coordinator/visit_coordinator.h"
#include "coordination/status/status_line.h"
#include "foundation/number_formatter.h"

namespace vorlane {

CoordinatorStatus VisitCoordinator::status(std::size_t reminderRows, std::size_t firstReminder) {
  CoordinatorStatus s;
  const Date now = clock_->now();
  s.session = focus_->pomodoro();
  s.statusText = s.session.statusText(now);
  s.nextVisit = nextVisitDescription();
  // The reminders' own test of a mute in force, asked once.
  if (const auto end = reminders_->muteExpiry()) {
    s.muted = true;
    s.muteExpiry = timeFormatter().format(*end);
  }
  s.isStarterFocus = focus_->isStarterFocus();
  s.nextStep = focus_->nextStep();
  s.recoveryNeedsAttention = focus_->recoveryError().has_value();
  s.focusHistoryError = focusHistory_->errorMessage();
  if (const auto& added = reminders_->lastAdded()) s.lastAddedPhrase = added->phrase;
  if (const auto& fired = reminders_->lastFired()) s.lastFiredPhrase = fired->phrase;
  if (reminderRows > 0) {
    const Calendar userCalendar = calendar();
    const std::vector<Reminder> stored = reminders_->reminders();
    s.reminderCount = stored.size();
    s.firstReminder = std::min(firstReminder, stored.size());
    const std::size_t shown = std::min(stored.size() - s.firstReminder, reminderRows);
    s.reminders.reserve(shown);
    for (std::size_t i = s.firstReminder; i < s.firstReminder + shown; ++i) {
      const Reminder& reminder = stored[i];
      s.reminders.push_back(
          {reminder.id, reminder.phrase, reminder.scheduleDescription(userCalendar, now)});
    }
    s.formatCount = [numbers = std::make_shared<NumberFormatter>(
                         userCalendar, NumberFormatter::Style::decimal)](std::size_t n) {
      const std::string written = numbers->format(static_cast<double>(n));
      return written.empty() ? std::to_string(n) : written;
    };
  }
  s.quickActions = availableQuickActions();
  for (const WindowKind kind : windows_.kinds()) s.windows.insert(kind);
  // The calendar focus window has nothing to show without the calendar's model.
  if (!calendarFocus_) s.windows.erase(WindowKind::calendarFocus);
  return s;
}

std::string VisitCoordinator::nextVisitDescription() {
  const Date now = clock_->now();
  const ShortTimeFormatter& formatter = timeFormatter();
  return vorlane::nextVisitDescription(
      focus_->pomodoro(), reminders_->mutedUntil(), [&] { return reminders_->nextVisit(now); }, now,
      [&](Date date) { return formatter.format(date); });
}

}  // namespace vorlane
