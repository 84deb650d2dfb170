// A focus linked to a daily priority: started in a calendar gap, and the priority marked
// when the focus is marked accomplished.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/coordination/focus/focus_harness.h"
#include "tests/coordination/session_probes.h"
#include "tests/coordination/stored_priority.h"
#include "tests/support/thrown.h"

namespace vorlane {
namespace {

constexpr const char* missing = "That priority no longer exists.";
constexpr const char* alreadyDone = "That priority is already accomplished.";

using FocusPriorityTest = FocusHarness;

TEST_F(FocusPriorityTest, ACalendarFocusFitsTheGapAndIsNeverAStarter) {
  fresh();
  const UUID open = storePriority(*prioritiesStore, berlin, clock->now(), "Plan the week");
  const UUID done = storePriority(*prioritiesStore, berlin, clock->now(), "Done already", true);
  const struct {
    int minutes;
    const char* goal;
    std::optional<UUID> priority;
    const char* sentence;
  } refused[] = {
      {4, "Review", std::nullopt, invalidGoal}, {26, "Review", std::nullopt, invalidGoal},
      {10, "   ", std::nullopt, invalidGoal},   {10, "Review", UUID::random(), missing},
      {10, "Review", done, alreadyDone},
  };
  for (const auto& row : refused) {
    SCOPED_TRACE(row.sentence);
    EXPECT_EQ(refusal([&] { focus->startCalendarFocus(row.minutes, row.goal, row.priority); }),
              row.sentence);
    EXPECT_EQ(phase(), "idle");
    EXPECT_FALSE(focus->activePriorityID());
  }
  focus->startCalendarFocus(5, "Review", std::nullopt);
  EXPECT_EQ(workingLength(focus->pomodoro()), 300);
  EXPECT_FALSE(focus->isStarterFocus());
  EXPECT_EQ(refusal([&] { focus->startCalendarFocus(10, "Other", open); }), activeSession);
  focus->cancelPomodoro();
  focus->startCalendarFocus(25, "Outline the plan", open);
  EXPECT_EQ(focus->pomodoro().focus(), "Outline the plan");
  EXPECT_EQ(focus->activePriorityID(), open);
}

// Marking a history entry accomplished also marks its daily priority: saved first, shown
// only once saved, and a failure goes back to the history store with nothing changed.
TEST_F(FocusPriorityTest, AccomplishedFocusMarksItsPriorityOnlyOnceSaved) {
  const struct {
    const char* name;
    bool linkPriority, focusGone, savesFail, priorityMarked;
  } rows[] = {
      {"linked priority is marked", true, false, false, true},
      {"no linked priority", false, false, false, false},
      {"focus session gone", true, true, false, false},
      {"save fails", true, false, true, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    records.setFailing(false);
    static_cast<void>(records.remove(RecordFocusHistoryStore::key));
    static_cast<void>(records.remove(RecordDailyPrioritiesStore::key));
    fresh();
    UUID priority;
    prioritiesStore->apply(
        [&](DailyPriorities& plan) { priority = plan.add("Ship the release", at(9, 0), berlin); });
    const PomodoroSession::Completion done{PomodoroSession::Kind::work, 1500, at(10, 30),
                                           "release notes", UUID::random()};
    historyStore->record(done, row.linkPriority ? std::optional<UUID>(priority) : std::nullopt);
    if (row.focusGone) focus.reset();
    records.setFailing(row.savesFail);
    EXPECT_EQ(refusal([&] { historyStore->markAccomplished(done.sessionID, at(10, 45)); }) != "",
              row.savesFail);
    EXPECT_EQ(prioritiesStore->plan().items().at(0).accomplishedAt.has_value(), row.priorityMarked);
    EXPECT_EQ(historyStore->entries().at(0).accomplishedAt.has_value(), !row.savesFail);
  }
}

}  // namespace
}  // namespace vorlane
