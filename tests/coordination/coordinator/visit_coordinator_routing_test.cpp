// Opening the feature windows, and starting a focus from a priority or a calendar gap.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "coordination/calendar_focus/calendar_focus_model.h"
#include "tests/coordination/coordinator/coordinator_harness.h"
#include "tests/coordination/session_probes.h"
#include "tests/coordination/stored_priority.h"
#include "tests/support/fake_calendar_source.h"

namespace vorlane {
namespace {

constexpr const char* missing = "That priority no longer exists.";
constexpr const char* alreadyDone = "That priority is already accomplished.";

class RoutingTest : public CoordinatorTest {
 protected:
  void SetUp() override { buildAndStart(); }
  UUID addPriority(const std::string& title, bool accomplished = false) {
    return storePriority(*prioritiesStore, berlin, clock->now(), title, accomplished);
  }
  double length() const { return workingLength(coordinator->focus().pomodoro()); }
};

TEST_F(RoutingTest, APriorityStartsAFullFocusOrAStarterOrIsRefusedChangingNothing) {
  const UUID gone = addPriority("Deleted elsewhere");
  prioritiesStore->apply([&](DailyPriorities& plan) { plan.remove(gone); });
  const UUID done = addPriority("Finished already", true);
  const UUID open = addPriority("Ship  the release");
  const UUID other = addPriority("Another one");
  coordinator->show(WindowKind::today);
  const auto start = windows.today->start;
  EXPECT_EQ(refusal([&] { start(gone, false); }), missing);
  EXPECT_EQ(refusal([&] { start(done, true); }), alreadyDone);
  EXPECT_EQ(phase(), "idle");
  EXPECT_FALSE(coordinator->focus().activePriorityID());

  start(open, false);
  presenter->finishVisit();
  EXPECT_EQ(length(), 1500);
  EXPECT_EQ(coordinator->focus().pomodoro().focus(), "Ship the release");
  EXPECT_EQ(coordinator->focus().activePriorityID(), open);
  // While a focus runs, its link stays.
  const PomodoroSession running = coordinator->focus().pomodoro();
  EXPECT_EQ(refusal([&] { start(other, false); }), activeSession);
  EXPECT_EQ(coordinator->focus().pomodoro(), running);
  EXPECT_EQ(coordinator->focus().activePriorityID(), open);
  // A finished focus waiting for its break gives way to the new one at once.
  fireAt(clock->now() + 1500);
  start(other, true);
  EXPECT_EQ(length(), 300);
  EXPECT_TRUE(coordinator->status().isStarterFocus);
  EXPECT_EQ(coordinator->focus().activePriorityID(), other);
  // The window's action outlives the coordinator and then refuses.
  coordinator.reset();
  EXPECT_EQ(refusal([&] { start(open, false); }), closing);
}

// No calendar model in this build: the window stays shut.
TEST_F(RoutingTest, TheCalendarFocusWindowStaysShutWithoutACalendarModel) {
  coordinator->show(WindowKind::calendarFocus);
  EXPECT_EQ(windows.calendar->shows, 0);
}

TEST_F(RoutingTest, TheReflectionOpensTheHistoryWhileTheCoordinatorLives) {
  coordinator->show(WindowKind::weeklyReflection);
  windows.weeklyReflection->manageHistory();
  EXPECT_EQ(windows.focusHistory->shows, 1);
  coordinator.reset();
  windows.weeklyReflection->manageHistory();
  EXPECT_EQ(windows.focusHistory->shows, 1);
  // Without controllers, nothing opens.
  fresh(at(10, 59), [](auto& given) { given.windows = {}; });
  coordinator->show(WindowKind::focusHistory);
  coordinator->show(WindowKind::weeklyReflection);
  coordinator->show(WindowKind::today);
  EXPECT_EQ(windows.focusHistory->shows + windows.weeklyReflection->shows + windows.today->shows,
            0);
}

// Each action a window keeps outlives the coordinator; then it says that the application is
// closing, never that no session runs, which would be wrong while one does.
TEST_F(RoutingTest, EveryKeptActionSaysTheApplicationIsClosingOnceTheCoordinatorIsGone) {
  fresh(at(10, 59), [this](VisitCoordinator::Dependencies& given) {
    given.calendarFocus = std::make_shared<CalendarFocusModel>(
        CalendarFocusModel::Dependencies{.source = std::make_shared<FakeCalendarSource>(),
                                         .clock = clock,
                                         .calendar = [] { return berlin; },
                                         .maximumMinutes = [] { return 25; }});
  });
  startFocus();
  const UUID open = addPriority("Plan the week");
  coordinator->show(WindowKind::today);
  coordinator->show(WindowKind::calendarFocus);
  coordinator->show(WindowKind::quickCommand);
  ASSERT_TRUE(windows.today->start && windows.calendar->start && windows.quickCommand->execute);
  const struct {
    const char* name;
    std::function<void()> act;
  } rows[] = {
      {"a priority's start", [&] { windows.today->start(open, false); }},
      {"a calendar gap's start", [&] { windows.calendar->start(10, "Review", open); }},
      {"a typed pause", [&] { windows.quickCommand->execute("pause"); }},
      {"a typed stop", [&] { windows.quickCommand->execute("stop"); }},
  };
  coordinator.reset();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(refusal(row.act), closing);
  }
}

}  // namespace
}  // namespace vorlane
