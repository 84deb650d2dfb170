#pragma once

// Reminders stored before the program starts, and what its reminders.json holds afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "core/reminders/reminder.h"
#include "platform/persistence/file_reminder_store.h"
#include "tests/support/child_process.h"

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

// Waits until `file` holds the first 99 of the hundred that storeReminders() stored, the
// hundredth deleted, each failure a test failure.
inline void expectTheHundredthDeleted(const std::filesystem::path& file) {
  std::vector<std::string> stored;
  EXPECT_TRUE(testing::waitUntil([&] { return (stored = storedPhrases(file)).size() == 99; },
                                 std::chrono::seconds(30)))
      << stored.size() << " stored";
  ASSERT_FALSE(stored.empty());
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "water the plants 99"), 0);
  EXPECT_EQ(stored.back(), "water the plants 98");
}

}  // namespace vorlane::e2e
