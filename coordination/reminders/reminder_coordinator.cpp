// Reminders typed in plain words, their undo and snooze, and the mute.
#include <cstdint>
#include <exception>
#include <utility>

#include "coordination/status/status_line.h"
#include "coordination/reminders/reminder_coordinator.h"
#include "core/reminders/reminder_editing.h"
#include "core/reminders/reminder_parser.h"
#include "foundation/date_description.h"
#include "platform/logging/log.h"

namespace vorlane {
namespace {

// A reminder stays stored this long after it expires.
constexpr double pruneGrace = 150;

}  // namespace

ReminderCoordinator::ReminderCoordinator(std::shared_ptr<const Clock> clock,
                                         std::shared_ptr<VisitScheduler> scheduler,
                                         std::shared_ptr<ReminderStore> store,
                                         std::function<Calendar()> calendar,
                                         std::weak_ptr<CoordinationObserver> observer)
    : clock_(std::move(clock)),
      scheduler_(std::move(scheduler)),
      store_(std::move(store)),
      calendar_(std::move(calendar)),
      observer_(std::move(observer)) {}

Reminder ReminderCoordinator::add(const std::string& text) {
  const Date now = clock_->now();
  // A parse error goes to the caller as it is: nothing stored, nothing logged.
  Reminder reminder = ReminderParser(calendar_()).parse(text, now);
  store_->add(reminder);
  handToScheduler();
  lastAdded_ = reminder;
  Log::reminders().info("added reminder: %{public}s", reminder.phrase);
  changed();
  return reminder;
}

Reminder ReminderCoordinator::update(const UUID& id, const std::string& phrase,
                                          const std::string& schedule) {
  std::optional<Reminder> existing;
  for (const Reminder& reminder : store_->reminders()) {
    if (reminder.id == id) {
      existing = reminder;
      break;
    }
  }
  if (!existing) throw ReminderEditing::Error(ReminderEditing::ErrorCase::reminderNoLongerExists);
  Reminder revised =
      ReminderEditing::revised(*existing, phrase, schedule, clock_->now(), calendar_());
  // Another window may have deleted it in the meantime.
  if (!store_->update(revised)) {
    throw ReminderEditing::Error(ReminderEditing::ErrorCase::reminderNoLongerExists);
  }
  // Undo then removes the edited version.
  if (lastAdded_ && lastAdded_->id == id) lastAdded_ = revised;
  handToScheduler();
  Log::reminders().info("updated reminder: %{public}s", revised.phrase);
  changed();
  return revised;
}

void ReminderCoordinator::remove(const UUID& id) {
  store_->remove(id);
  if (lastAdded_ && lastAdded_->id == id) lastAdded_.reset();
  handToScheduler();
  changed();
}

void ReminderCoordinator::undoLast() {
  if (!lastAdded_) return;
  const Reminder undone = *lastAdded_;
  // A refused removal keeps the reminder, and so what undo would remove.
  store_->remove(undone.id);
  lastAdded_.reset();
  handToScheduler();
  Log::reminders().info("undid reminder: %{public}s", undone.phrase);
  changed();
}

void ReminderCoordinator::snoozeLast(std::int64_t minutes) {
  if (!lastFired_) return;
  std::int64_t seconds = 0;
  // Minutes whose seconds do not fit would wrap into a countdown in the past.
  if (__builtin_mul_overflow(minutes, std::int64_t{60}, &seconds)) return;
  const Reminder snoozed(UUID::random(), lastFired_->phrase,
                         VisitTrigger::countdown(static_cast<double>(seconds)), clock_->now());
  store_->add(snoozed);
  handToScheduler();
  lastAdded_ = snoozed;
  // A second snooze waits for the next reminder visit.
  lastFired_.reset();
  Log::reminders().info("snoozed %{public}s by %ld minutes", snoozed.phrase, minutes);
  changed();
}

void ReminderCoordinator::mute(MuteDuration duration) {
  const Date until = expiry(duration, clock_->now(), calendar_());
  mutedUntil_ = until;
  Log::suppression().info("muted until %{public}s", describeDate(until));
  muteChanged();
  changed();
}

void ReminderCoordinator::unmute() {
  mutedUntil_.reset();
  Log::suppression().info("unmuted");
  muteChanged();
  changed();
}

void ReminderCoordinator::toggleMute() {
  if (isMuted(clock_->now())) {
    unmute();
  } else {
    mute(MuteDuration::oneHour);
  }
}

std::optional<Date> ReminderCoordinator::muteExpiry() const {
  if (!isMuted(clock_->now())) return std::nullopt;
  return mutedUntil_;
}

std::optional<Date> ReminderCoordinator::nextVisit(Date now) const {
  // The scheduler counts from its own clock, which is ours.
  return earliestVisit(scheduler_->nextHourlyVisit(), store_->reminders(), now, calendar_());
}

void ReminderCoordinator::visitPresenting(const Visit& visit) {
  if (visit.kind.value() != Visit::Kind::Case::reminder) return;
  lastFired_.reset();
  for (const Reminder& reminder : store_->reminders()) {
    if (reminder.id == visit.kind.reminderID()) {
      lastFired_ = reminder;
      return;
    }
  }
}

void ReminderCoordinator::pruneExpired(Date now) {
  try {
    store_->pruneExpired(now - pruneGrace);
  } catch (const std::exception&) {
    // Nobody asked: the expired reminders stay stored, the store has logged why, and the
    // next tick tries again.
  }
}

void ReminderCoordinator::handToScheduler() { scheduler_->setReminders(store_->reminders()); }

void ReminderCoordinator::changed() const {
  if (const auto observer = observer_.lock()) observer->stateChanged();
}

void ReminderCoordinator::muteChanged() const {
  if (const auto observer = observer_.lock()) observer->muteChanged();
}

}  // namespace vorlane
