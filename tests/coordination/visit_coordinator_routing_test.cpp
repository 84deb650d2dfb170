// Opening the feature windows, and starting a focus from a priority or a calendar gap.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "coordination/calendar_focus_model.h"
#include "tests/coordination/coordinator_harness.h"
#include "tests/support/fake_calendar_source.h"

namespace vorlane {
namespace {

constexpr const char* missing = "That priority no longer exists.";
constexpr const char* alreadyDone = "That priority is already accomplished.";

class RoutingTest : public CoordinatorTest {
 protected:
  void SetUp() override { buildAndStart(); }
  UUID addPriority(const std::string& title, bool accomplished = false) {
    UUID id;
    prioritiesStore->apply([&](DailyPriorities& plan) {
      id = plan.add(title, clock->now(), berlin);
      if (accomplished) plan.markAccomplished(id, clock->now());
    });
    return id;
  }
  double length() const {
    const auto* working = coordinator->focus().pomodoro().phase().as<PomodoroSession::Phase::Working>();
    return working ? working->endsAt - working->startedAt : 0;
  }
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

TEST_F(RoutingTest, ACalendarFocusFitsTheGapAndIsNeverAStarter) {
  const UUID open = addPriority("Plan the week");
  const UUID done = addPriority("Done already", true);
  const struct {
    int minutes;
    const char* goal;
    std::optional<UUID> priority;
    const char* sentence;
  } refused[] = {
      {4, "Review", std::nullopt, invalidGoal},   {26, "Review", std::nullopt, invalidGoal},
      {10, "   ", std::nullopt, invalidGoal},     {10, "Review", UUID::random(), missing},
      {10, "Review", done, alreadyDone},
  };
  for (const auto& row : refused) {
    SCOPED_TRACE(row.sentence);
    EXPECT_EQ(refusal([&] { coordinator->focus().startCalendarFocus(row.minutes, row.goal, row.priority); }),
              row.sentence);
    EXPECT_EQ(phase(), "idle");
    EXPECT_FALSE(coordinator->focus().activePriorityID());
  }
  coordinator->focus().startCalendarFocus(5, "Review", std::nullopt);
  EXPECT_EQ(length(), 300);
  EXPECT_FALSE(coordinator->status().isStarterFocus);
  EXPECT_EQ(refusal([&] { coordinator->focus().startCalendarFocus(10, "Other", open); }), activeSession);
  coordinator->focus().cancelPomodoro();
  coordinator->focus().startCalendarFocus(25, "Outline the plan", open);
  EXPECT_EQ(coordinator->focus().pomodoro().focus(), "Outline the plan");
  EXPECT_EQ(coordinator->focus().activePriorityID(), open);
  // No calendar model in this build: the window stays shut.
  coordinator->show(WindowKind::calendarFocus);
  EXPECT_EQ(windows.calendar->shows, 0);
}

// A focus restored at launch waits paused; the calendar's start refuses it as any other
// entry point would, and the restored session stays as it was.
TEST_F(RoutingTest, ACalendarFocusIsRefusedWhileARestoredFocusWaitsPaused) {
  const UUID restored = UUID::random();
  RecordFocusRecoveryStore(&records).save({.session = {restored, "write report", 600, 900, false},
                                           .nextStep = "check the figures",
                                           .isStarter = false,
                                           .priorityID = std::nullopt});
  buildAndStart();
  ASSERT_EQ(phase(), "paused");
  EXPECT_EQ(refusal([&] { coordinator->focus().startCalendarFocus(25, "Outline the plan", std::nullopt); }),
            activeSession);
  EXPECT_EQ(phase(), "paused");
  EXPECT_EQ(coordinator->focus().pomodoro().focus(), "write report");
  EXPECT_EQ(coordinator->status().nextStep, "check the figures");
  EXPECT_FALSE(coordinator->focus().activePriorityID());
}

TEST_F(RoutingTest, TheReflectionOpensTheHistoryWhileTheCoordinatorLives) {
  coordinator->show(WindowKind::reflection);
  windows.reflection->manageHistory();
  EXPECT_EQ(windows.focusHistory->shows, 1);
  coordinator.reset();
  windows.reflection->manageHistory();
  EXPECT_EQ(windows.focusHistory->shows, 1);
  // Without controllers, nothing opens.
  fresh(at(10, 59), [](auto& given) { given.windows = {}; });
  coordinator->show(WindowKind::focusHistory);
  coordinator->show(WindowKind::reflection);
  coordinator->show(WindowKind::today);
  EXPECT_EQ(windows.focusHistory->shows + windows.reflection->shows + windows.today->shows, 0);
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
  coordinator->show(WindowKind::quickCommands);
  ASSERT_TRUE(windows.today->start && windows.calendar->start && windows.quickCommands->execute);
  const struct {
    const char* name;
    std::function<void()> act;
  } rows[] = {
      {"a priority's start", [&] { windows.today->start(open, false); }},
      {"a calendar gap's start", [&] { windows.calendar->start(10, "Review", open); }},
      {"a typed pause", [&] { windows.quickCommands->execute("pause"); }},
      {"a typed stop", [&] { windows.quickCommands->execute("stop"); }},
  };
  coordinator.reset();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(refusal(row.act), closing);
  }
}

}  // namespace
}  // namespace vorlane
