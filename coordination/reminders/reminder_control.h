#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/reminders/reminder.h"
#include "foundation/date.h"
#include "foundation/uuid.h"

namespace vorlane {

// What the user does with the reminders and the mute, and what of them can be read, as the
// reminders' part offers it to the coordinator's callers. Every change to the stored
// reminders reaches the scheduler at once; one the store refuses throws its error (the
// sentence to show) and changes nothing. The undo target, the snooze source and the mute
// live in memory only. Main thread only.
class ReminderControl {
 public:
  virtual ~ReminderControl() = default;

  // Parses and stores a reminder typed in plain words. Throws ReminderParser::ParseError
  // unchanged, or the store's refusal; then nothing is stored.
  virtual Reminder add(const std::string& text) = 0;
  // Revises a stored reminder; a blank schedule keeps its trigger. Throws
  // ReminderEditing::Error when it is no longer stored, the parser's error or the store's
  // refusal.
  virtual Reminder update(const UUID& id, const std::string& phrase,
                          const std::string& schedule) = 0;
  // Throws the store's refusal.
  virtual void remove(const UUID& id) = 0;
  // Removes the reminder added (or snoozed) last; nothing when there is none. Throws the
  // store's refusal, the reminder then kept as the one to undo.
  virtual void undoLast() = 0;
  // Repeats the reminder whose visit came last, `minutes` from now, once. Nothing when no
  // reminder visit came since, or when the minutes do not fit in seconds. Throws the store's
  // refusal, the visit's reminder then kept for another snooze.
  virtual void snoozeLast(std::int64_t minutes) = 0;
  virtual void unmute() = 0;

  virtual std::vector<Reminder> reminders() const = 0;
  // The end of a mute still in force.
  virtual std::optional<Date> muteExpiry() const = 0;
  // The end of the last mute, also one that has passed and is not cleared yet.
  virtual const std::optional<Date>& mutedUntil() const = 0;
  // The reminder added (or snoozed) last, and the stored reminder behind the last reminder
  // visit handed to the mascot.
  virtual const std::optional<Reminder>& lastAdded() const = 0;
  virtual const std::optional<Reminder>& lastFired() const = 0;
};

}  // namespace vorlane
