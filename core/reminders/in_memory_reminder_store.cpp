#include "core/reminders/in_memory_reminder_store.h"

#include <algorithm>

namespace vorlane {

void InMemoryReminderStore::add(const Reminder& reminder) {
  reminders_.push_back(reminder);
  ++revision_;
}

bool InMemoryReminderStore::update(const Reminder& reminder) {
  const auto found = std::find_if(reminders_.begin(), reminders_.end(),
                                  [&](const Reminder& r) { return r.id == reminder.id; });
  if (found == reminders_.end()) return false;
  *found = reminder;
  ++revision_;
  return true;
}

void InMemoryReminderStore::remove(const UUID& id) {
  if (std::erase_if(reminders_, [&](const Reminder& r) { return r.id == id; }) > 0) ++revision_;
}

void InMemoryReminderStore::pruneExpired(Date date) {
  if (std::erase_if(reminders_, [&](const Reminder& r) { return r.hasExpired(date); }) > 0) {
    ++revision_;
  }
}

}  // namespace vorlane
