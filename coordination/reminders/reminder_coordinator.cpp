// Reminders typed in plain words, their undo and snooze, and the mute.
#include "coordination/reminders/reminder_coordinator.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <utility>

#include "core/reminders/reminder_editing.h"
#include "core/reminders/reminder_parser.h"
#include "foundation/date_description.h"
#include "platform/logging/log.h"

namespace vorlane {
namespace {

// A reminder stays stored this long after it expires.
constexpr double pruneGrace = 150;
// The waits before the expired reminders are tried again after the store refused them: one
// tick at first, an hour at most.
constexpr double firstPruneRetry = 30;
constexpr double longestPruneRetry = 3600;

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
      observer_(std::move(observer)),
      pruneRetry_(firstPruneRetry, longestPruneRetry) {}

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
  handToScheduler();
  const Reminder* existing = scheduler_->reminder(id);
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

std::optional<Date> ReminderCoordinator::nextVisit(Date now) {
  handToScheduler();
  // The scheduler counts from its own clock, which is ours.
  const std::optional<Date> hourly = scheduler_->nextHourlyVisit();
  const std::optional<Date> reminder = scheduler_->nextReminderTime(now);
  if (!hourly || !reminder) return hourly ? hourly : reminder;
  return std::min(*hourly, *reminder);
}

void ReminderCoordinator::visitPresenting(const Visit& visit) {
  if (visit.kind.value() != Visit::Kind::Case::reminder) return;
  lastFired_.reset();
  // The scheduler holds the stored list, found by id without a copy of it.
  handToScheduler();
  if (const Reminder* reminder = scheduler_->reminder(visit.kind.reminderID())) {
    lastFired_ = *reminder;
  }
}

void ReminderCoordinator::pruneExpired(Date now) {
  try {
    store_->pruneExpired(now - pruneGrace);
  } catch (const std::exception& error) {
    // Nobody asked: the expired reminders stay stored. The list changes only once saved, so
    // a refusal at a new revision follows a save that went through.
    const std::uint64_t revision = store_->revision();
    if (refusedPruneRevision_ != revision) {
      pruneRetry_.succeeded();
      Log::reminders().error(
          "could not forget expired reminders, keeping them and trying again later: "
          "%{public}s",
          error.what());
    }
    refusedPruneRevision_ = revision;
    pruneRetry_.failed(now);
    return;
  }
  refusedPruneRevision_.reset();
  pruneRetry_.succeeded();
  handToScheduler();
}

void ReminderCoordinator::pruneExpiredWhenDue(Date now) {
  if (refusedPruneRevision_ == store_->revision() && !pruneRetry_.isDue(now)) return;
  pruneExpired(now);
}

void ReminderCoordinator::handToScheduler() {
  const std::uint64_t revision = store_->revision();
  if (handedRevision_ == revision) return;
  scheduler_->setReminders(store_->reminders());
  handedRevision_ = revision;
}

void ReminderCoordinator::changed() const {
  if (const auto observer = observer_.lock()) observer->stateChanged();
}

void ReminderCoordinator::muteChanged() const {
  if (const auto observer = observer_.lock()) observer->muteChanged();
}

}  // namespace vorlane
