#include "core/focus/completion_reminders.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace vorlane {
namespace {

using Completion = PomodoroSession::Completion;

const Date finished(800000000);
const UUID someID = *UUID::fromString("0F8B3C1E-5A7D-4E2B-9C61-3D4F5A6B7C8D");
const Completion done{PomodoroSession::Kind::work, 1500, finished, "goal", someID};

TEST(CompletionReminders, SequencesOfCallsForOneCompletion) {
  struct Row {
    const char* name;
    // Seconds after finishedAt, and whether a reminder is due then.
    std::vector<std::pair<double, bool>> calls;
  };
  const Row rows[] = {
      {"each offset once, on time",
       {{10, false}, {31, true}, {40, false}, {92, true}, {200, false}}},
      {"exactly at each offset", {{30, true}, {30, false}, {90, true}, {90, false}}},
      {"at the edge of the tolerance", {{35, true}, {95, true}}},
      {"just past the tolerance", {{35.001, false}, {95.001, false}}},
      {"both passed, later one on time", {{94, true}, {95, false}, {300, false}}},
      {"both passed, later one too late", {{96, false}, {97, false}, {1000, false}}},
      {"first on time, second too late", {{33, true}, {100, false}, {100, false}}},
      {"nothing before the first offset", {{0, false}, {29.999, false}, {-5, false}}},
  };
  for (const Row& row : rows) {
    CompletionReminders reminders;
    for (const auto& [after, due] : row.calls) {
      EXPECT_EQ(reminders.takeDueReminder(done, finished + after), due)
          << row.name << " at +" << after;
    }
  }
}

TEST(CompletionReminders, AnyDifferentCompletionStartsOver) {
  auto changed = [](auto edit) {
    Completion c = done;
    edit(c);
    return c;
  };
  const std::vector<std::pair<const char*, Completion>> others = {
      {"finishedAt", changed([](Completion& c) { c.finishedAt = finished + 0.5; })},
      {"sessionID", changed([](Completion& c) { c.sessionID = UUID::random(); })},
      {"kind", changed([](Completion& c) { c.kind = PomodoroSession::Kind::rest; })},
      {"duration", changed([](Completion& c) { c.duration = 1800; })},
      {"focus", changed([](Completion& c) { c.focus = "other"; })},
  };
  for (const auto& [field, other] : others) {
    CompletionReminders reminders;
    ASSERT_TRUE(reminders.takeDueReminder(done, finished + 31));
    // The 30 s offset is fresh again for the new completion.
    EXPECT_TRUE(reminders.takeDueReminder(other, finished + 31)) << field;
    EXPECT_FALSE(reminders.takeDueReminder(other, finished + 32)) << field;
  }
}

TEST(CompletionReminders, NoneForgetsTheWatchedCompletion) {
  CompletionReminders reminders;
  EXPECT_FALSE(reminders.takeDueReminder(std::nullopt, finished + 31));
  ASSERT_TRUE(reminders.takeDueReminder(done, finished + 31));
  EXPECT_FALSE(reminders.takeDueReminder(std::nullopt, finished + 92));
  // Handed in again after being cleared, the same completion counts from the start.
  EXPECT_TRUE(reminders.takeDueReminder(done, finished + 34));
  EXPECT_TRUE(reminders.takeDueReminder(done, finished + 92));
}

}  // namespace
}  // namespace vorlane
