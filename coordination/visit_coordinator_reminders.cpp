// Reminders typed in plain words, their undo and snooze, and the mute.
#include <cstdint>
#include <utility>

#include "coordination/status_line.h"
#include "coordination/visit_coordinator.h"
#include "core/reminders/reminder_editing.h"
#include "core/reminders/reminder_parser.h"
#include "foundation/date_description.h"
#include "platform/logging/log.h"

namespace vorlane {

Reminder VisitCoordinator::addReminder(const std::string& text) {
  const Date now = clock_->now();
  // A parse error goes to the caller as it is: nothing stored, nothing logged.
  Reminder reminder = ReminderParser(calendar()).parse(text, now);
  reminderStore_->add(reminder);
  handRemindersToScheduler();
  lastAddedReminder_ = reminder;
  Log::reminders().info("added reminder: %{public}s", reminder.phrase);
  signalStateChanged();
  return reminder;
}

Reminder VisitCoordinator::updateReminder(const UUID& id, const std::string& phrase,
                                          const std::string& schedule) {
  std::optional<Reminder> existing;
  for (const Reminder& reminder : reminderStore_->reminders()) {
    if (reminder.id == id) {
      existing = reminder;
      break;
    }
  }
  if (!existing) throw ReminderEditing::Error(ReminderEditing::ErrorCase::reminderNoLongerExists);
  Reminder revised =
      ReminderEditing::revised(*existing, phrase, schedule, clock_->now(), calendar());
  // Another window may have deleted it in the meantime.
  if (!reminderStore_->update(revised)) {
    throw ReminderEditing::Error(ReminderEditing::ErrorCase::reminderNoLongerExists);
  }
  // Undo then removes the edited version.
  if (lastAddedReminder_ && lastAddedReminder_->id == id) lastAddedReminder_ = revised;
  handRemindersToScheduler();
  Log::reminders().info("updated reminder: %{public}s", revised.phrase);
  signalStateChanged();
  return revised;
}

void VisitCoordinator::removeReminder(const UUID& id) {
  reminderStore_->remove(id);
  if (lastAddedReminder_ && lastAddedReminder_->id == id) lastAddedReminder_.reset();
  handRemindersToScheduler();
  signalStateChanged();
}

void VisitCoordinator::undoLastReminder() {
  if (!lastAddedReminder_) return;
  const Reminder undone = *std::exchange(lastAddedReminder_, std::nullopt);
  reminderStore_->remove(undone.id);
  handRemindersToScheduler();
  Log::reminders().info("undid reminder: %{public}s", undone.phrase);
  signalStateChanged();
}

void VisitCoordinator::snoozeLastReminder(std::int64_t minutes) {
  if (!lastFiredReminder_) return;
  std::int64_t seconds = 0;
  // Minutes whose seconds do not fit would wrap into a countdown in the past.
  if (__builtin_mul_overflow(minutes, std::int64_t{60}, &seconds)) return;
  const Reminder snoozed(UUID::random(), lastFiredReminder_->phrase,
                         VisitTrigger::countdown(static_cast<double>(seconds)), clock_->now());
  reminderStore_->add(snoozed);
  handRemindersToScheduler();
  lastAddedReminder_ = snoozed;
  // A second snooze waits for the next reminder visit.
  lastFiredReminder_.reset();
  Log::reminders().info("snoozed %{public}s by %ld minutes", snoozed.phrase, minutes);
  signalStateChanged();
}

void VisitCoordinator::mute(MuteDuration duration) {
  const Date until = expiry(duration, clock_->now(), calendar());
  mutedUntil_ = until;
  Log::suppression().info("muted until %{public}s", describeDate(until));
  refreshQuickActions();
  signalStateChanged();
}

void VisitCoordinator::unmute() {
  mutedUntil_.reset();
  Log::suppression().info("unmuted");
  refreshQuickActions();
  signalStateChanged();
}

void VisitCoordinator::toggleMute() {
  if (isMuted(clock_->now())) {
    unmute();
  } else {
    mute(MuteDuration::oneHour);
  }
}

std::optional<Date> VisitCoordinator::muteExpiry() const {
  if (!isMuted(clock_->now())) return std::nullopt;
  return mutedUntil_;
}

std::string VisitCoordinator::nextVisitDescription() {
  const Date now = clock_->now();
  // The scheduler counts from its own clock, which is ours.
  const auto next =
      earliestVisit(scheduler_->nextHourlyVisit(), reminderStore_->reminders(), now, calendar());
  const ShortTimeFormatter& formatter = timeFormatter();
  return vorlane::nextVisitDescription(pomodoro_, mutedUntil_, next, now,
                                       [&](Date date) { return formatter.format(date); });
}

bool VisitCoordinator::isMuted(Date now) const { return mutedUntil_ && *mutedUntil_ > now; }

void VisitCoordinator::handRemindersToScheduler() {
  scheduler_->setReminders(reminderStore_->reminders());
}

}  // namespace vorlane
