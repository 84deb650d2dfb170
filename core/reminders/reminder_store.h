#pragma once

#include <cstdint>
#include <vector>

#include "core/reminders/reminder.h"
#include "foundation/date.h"
#include "foundation/uuid.h"

namespace vorlane {

// The ordered list of the user's reminders. Implementations are objects shared by
// reference. A change is stored before it is kept: when it cannot be stored, the change
// throws an exception whose what() is the sentence to show, and the list, in memory and
// stored, stays as it was.
class ReminderStore {
 public:
  ReminderStore() = default;
  ReminderStore(const ReminderStore&) = delete;
  ReminderStore& operator=(const ReminderStore&) = delete;
  virtual ~ReminderStore() = default;

  // A copy of the current list, in order.
  virtual std::vector<Reminder> reminders() const = 0;
  // Differs after every change to the list: a reader that finds it as it was still holds
  // the current list, without copying it again.
  virtual std::uint64_t revision() const = 0;
  // Appends at the end, even when a reminder with the same id is present.
  virtual void add(const Reminder& reminder) = 0;
  // Replaces the first reminder with the same id where it stands; false, and nothing
  // changed, when there is none.
  [[nodiscard]] virtual bool update(const Reminder& reminder) = 0;
  // Removes every reminder with that id, keeping the others in order.
  virtual void remove(const UUID& id) = 0;
  // Removes every reminder that has expired before `date`, keeping the others in order.
  virtual void pruneExpired(Date date) = 0;
};

}  // namespace vorlane
