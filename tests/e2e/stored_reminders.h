#pragma once

// Reminders stored before the program starts, and what its reminders.json holds afterwards.

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "core/reminders/reminder.h"
#include "platform/persistence/file_reminder_store.h"

namespace vorlane::e2e {

// "water the plants 0" to "water the plants <count - 1>", stored in that order, each due once
// a day after `start`.
inline void storeReminders(const std::filesystem::path& file, int count, std::time_t start) {
  FileReminderStore store(file);
  for (int i = 0; i < count; ++i) {
    store.add(Reminder(UUID::random(), "water the plants " + std::to_string(i),
                       VisitTrigger::oneOff(Date::fromUnix(double(start + 86'400))),
                       Date::fromUnix(double(start))));
  }
}

// The phrases the file holds now, in store order.
inline std::vector<std::string> storedPhrases(const std::filesystem::path& file) {
  std::vector<std::string> phrases;
  for (const Reminder& reminder : FileReminderStore(file).reminders()) {
    phrases.push_back(reminder.phrase);
  }
  return phrases;
}

}  // namespace vorlane::e2e
