#include "core/scheduling/in_memory_reminder_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlane {
namespace {

Reminder make(const UUID& id, std::string phrase, VisitTrigger trigger) {
  return Reminder(id, std::move(phrase), std::move(trigger), Date(1000));
}

std::vector<std::string> phrases(const ReminderStore& store) {
  std::vector<std::string> result;
  for (const Reminder& reminder : store.reminders()) result.push_back(reminder.phrase);
  return result;
}

TEST(InMemoryReminderStore, DuplicateIdsFollowTheListRules) {
  const UUID shared = UUID::random();
  const UUID other = UUID::random();
  InMemoryReminderStore store({make(shared, "a", VisitTrigger::hourly())});
  store.add(make(other, "b", VisitTrigger::hourly()));
  store.add(make(shared, "c", VisitTrigger::hourly()));
  EXPECT_EQ(phrases(store), (std::vector<std::string>{"a", "b", "c"}));

  EXPECT_TRUE(store.update(make(shared, "A", VisitTrigger::hourly())));
  EXPECT_EQ(phrases(store), (std::vector<std::string>{"A", "b", "c"}));

  EXPECT_FALSE(store.update(make(UUID::random(), "x", VisitTrigger::hourly())));
  EXPECT_EQ(phrases(store), (std::vector<std::string>{"A", "b", "c"}));

  store.remove(UUID::random());
  EXPECT_EQ(phrases(store), (std::vector<std::string>{"A", "b", "c"}));
  store.remove(shared);
  EXPECT_EQ(phrases(store), (std::vector<std::string>{"b"}));
}

TEST(InMemoryReminderStore, PruneKeepsWhatCannotExpireInOrder) {
  const Date cut(5000);
  InMemoryReminderStore store({
      make(UUID::random(), "past one-off", VisitTrigger::oneOff(cut - 1)),
      make(UUID::random(), "hourly", VisitTrigger::hourly()),
      make(UUID::random(), "one-off at the cut", VisitTrigger::oneOff(cut)),
      make(UUID::random(), "ended countdown", VisitTrigger::countdown(3999)),  // ends 4999
      make(UUID::random(), "recurring",
           VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), 9, 0))),
      make(UUID::random(), "running countdown", VisitTrigger::countdown(4000)),  // ends 5000
  });
  store.pruneExpired(cut);
  EXPECT_EQ(phrases(store), (std::vector<std::string>{"hourly", "one-off at the cut", "recurring",
                                                      "running countdown"}));
}

}  // namespace
}  // namespace vorlane
