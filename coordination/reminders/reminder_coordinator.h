#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "coordination/contracts/coordination_observer.h"
#include "coordination/contracts/mute_state.h"
#include "coordination/reminders/reminder_control.h"
#include "coordination/reminders/retry_backoff.h"
#include "core/contracts/clock.h"
#include "core/contracts/visit.h"
#include "core/focus/mute_duration.h"
#include "core/reminders/reminder.h"
#include "core/reminders/reminder_store.h"
#include "core/visits/visit_scheduler.h"
#include "foundation/calendar.h"
#include "foundation/uuid.h"

namespace vorlane {

// The user's reminders typed in plain words, their undo and snooze, and the mute. Every
// change made here reaches the scheduler at once, one made to the store by other means at
// the next tick; the list is copied to the scheduler only when it changed. A change the
// store refuses throws the store's error unchanged (its what() the sentence to show) and
// changes nothing: not the list, the undo target or the snooze source. The undo target, the
// snooze source and the mute live in memory only.
class ReminderCoordinator final : public ReminderControl, public MuteState {
 public:
  // `observer` hears of every change the status item shows, and of the mute's.
  ReminderCoordinator(std::shared_ptr<const Clock> clock, std::shared_ptr<VisitScheduler> scheduler,
                      std::shared_ptr<ReminderStore> store, std::function<Calendar()> calendar,
                      std::weak_ptr<CoordinationObserver> observer);

  // Parses and stores a reminder. Throws ReminderParser::ParseError unchanged, or the
  // store's refusal; then nothing is stored.
  Reminder add(const std::string& text) override;
  // A blank schedule keeps the trigger. Throws ReminderEditing::Error when the reminder is
  // no longer stored, the parser's error or the store's refusal.
  Reminder update(const UUID& id, const std::string& phrase, const std::string& schedule) override;
  // Throws the store's refusal.
  void remove(const UUID& id) override;
  // Removes the reminder added (or snoozed) last; nothing when there is none. Throws the
  // store's refusal, the reminder then kept as the one to undo.
  void undoLast() override;
  // Repeats the reminder whose visit came last, `minutes` from now, once. Nothing when no
  // reminder visit came since, or when the minutes do not fit in seconds. Throws the store's
  // refusal, the visit's reminder then kept for another snooze.
  void snoozeLast(std::int64_t minutes) override;

  // A new mute replaces the old end, even an earlier one.
  void mute(MuteDuration duration);
  void unmute() override;
  // Unmutes while muted, else mutes for an hour.
  void toggleMute();
  bool isMuted(Date now) const { return mutedUntil_ && *mutedUntil_ > now; }
  // The end of a mute still in force.
  std::optional<Date> muteExpiry() const override;
  const std::optional<Date>& mutedUntil() const override { return mutedUntil_; }

  // Remembers the stored reminder behind a reminder visit on its way to the mascot.
  void visitPresenting(const Visit& visit);

  std::vector<Reminder> reminders() const override { return store_->reminders(); }
  // Hands the stored list to the scheduler when it changed since it was last handed over;
  // nothing otherwise.
  void handToScheduler();
  // Forgets reminders that expired a while before `now`. When the store refuses, they stay
  // until a later call, and the refusal is logged once until a save goes through.
  void pruneExpired(Date now);
  // As pruneExpired, for the tick: after a refusal, tried again only once the list has
  // changed (a save went through), or once a wait has passed that doubles with each refusal
  // in a row, from one tick up to an hour. Saving the whole list at every tick on a disk that
  // refuses it would cost the main thread and fill the log.
  void pruneExpiredWhenDue(Date now);
  // The next hourly visit or reminder at or after `now`, as the scheduler will find them.
  std::optional<Date> nextVisit(Date now);

  const std::optional<Reminder>& lastAdded() const override { return lastAdded_; }
  const std::optional<Reminder>& lastFired() const override { return lastFired_; }

 private:
  void changed() const;
  void muteChanged() const;

  std::shared_ptr<const Clock> clock_;
  std::shared_ptr<VisitScheduler> scheduler_;
  std::shared_ptr<ReminderStore> store_;
  std::function<Calendar()> calendar_;
  std::weak_ptr<CoordinationObserver> observer_;
  std::optional<Reminder> lastAdded_;
  std::optional<Reminder> lastFired_;
  std::optional<Date> mutedUntil_;
  // The store's revision last handed to the scheduler.
  std::optional<std::uint64_t> handedRevision_;
  // After the store refused to forget the expired reminders: its revision then, and when
  // to try again.
  std::optional<std::uint64_t> refusedPruneRevision_;
  RetryBackoff pruneRetry_;
};

}  // namespace vorlane
