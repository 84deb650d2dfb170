// Opening the feature windows.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/coordination/coordinator_harness.h"

namespace vorlane {
namespace {

using Phase = PomodoroSession::Phase;

constexpr const char* activeSession =
    "A session is already active. Resume it, or stop it before starting a new focus.";
constexpr const char* invalidGoal =
    "Use a goal of 1\u2013120 characters and a duration from 1 to 90 minutes.";
constexpr const char* missing = "That priority no longer exists.";
constexpr const char* alreadyDone = "That priority is already accomplished.";
constexpr const char* saveFailed =
    "Your focus recovery could not be saved. Existing saved data was kept.";

class RoutingTest : public CoordinatorTest {
 protected:
  UUID addPriority(const std::string& title) {
    UUID id;
    prioritiesStore->apply(
        [&](DailyPriorities& plan) { id = plan.add(title, clock->now(), berlin); });
    return id;
  }
  void startFocus(const std::string& goal = "running") {
    coordinator->requestNewPomodoro();
    windows.focusEditor->start(goal);
    presenter->finishVisit();
  }
  // The sentence the call threw, or "" when it did not throw.
  static std::string refusal(const std::function<void()>& call) {
    try {
      call();
    } catch (const std::exception& error) {
      return error.what();
    }
    return "";
  }
};

TEST_F(RoutingTest, TodayOffersTheFullLengthAndShowsTheRecoveryProblemUntilDiscarded) {
  // What went wrong with the saved checkpoint, what the window shows first.
  const struct {
    const char* name;
    bool unreadable;
    bool writesFail;
    bool showsSaveFailure;
  } rows[] = {{"nothing", false, false, false},
              {"write failed", false, true, true},
              {"unreadable, then its write refused", true, false, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    records.setFailing(false);
    [[maybe_unused]] const bool removed = records.remove(FocusRecoveryStore::key);
    if (row.unreadable) records.setData(FocusRecoveryStore::key, "{not json");
    Preferences settings;
    settings.workMinutes = 200;
    preferences->setPreferences(settings);
    buildAndStart();
    records.setFailing(row.writesFail);
    startFocus();
    coordinator->requestPauseSession();
    records.setFailing(false);

    coordinator->showToday();
    EXPECT_EQ(windows.today->minutes, 90);
    const bool anyProblem = row.unreadable || row.writesFail;
    ASSERT_EQ(windows.today->recoveryError.has_value(), anyProblem);
    if (anyProblem) {
      EXPECT_EQ(*windows.today->recoveryError == saveFailed, row.showsSaveFailure);
    }
    windows.today->discardRecovery();
    EXPECT_FALSE(records.rawBytes(FocusRecoveryStore::key));
    EXPECT_FALSE(coordinator->recoverySaveError());
    EXPECT_TRUE(coordinator->pomodoro().isPaused());
    EXPECT_EQ(coordinator->pomodoro().focus(), "running");
    coordinator->showToday();
    EXPECT_FALSE(windows.today->recoveryError);
    coordinator->cancelPomodoro();
  }
}

TEST_F(RoutingTest, APriorityStartsAsAFullFocusOrAStarterWithItsTitleAsTheGoal) {
  const struct {
    bool starter;
    double seconds;
  } rows[] = {{false, 1500}, {true, 300}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.starter);
    buildAndStart();
    const UUID id = addPriority("Ship  the release");
    coordinator->showToday();
    windows.today->start(id, row.starter);
    const auto* working = coordinator->pomodoro().phase().as<Phase::Working>();
    ASSERT_NE(working, nullptr);
    EXPECT_EQ(working->endsAt - working->startedAt, row.seconds);
    EXPECT_EQ(coordinator->pomodoro().focus(), "Ship the release");
    EXPECT_EQ(coordinator->isStarterFocus(), row.starter);
    EXPECT_EQ(coordinator->activePriorityID(), id);
    coordinator->cancelPomodoro();
  }
}

TEST_F(RoutingTest, APriorityRefusedChangesNothing) {
  buildAndStart();
  // A day holds three: the deleted one goes before the others come.
  const UUID gone = addPriority("Deleted elsewhere");
  prioritiesStore->apply([&](DailyPriorities& plan) { plan.remove(gone); });
  const UUID done = addPriority("Finished already");
  const UUID open = addPriority("Still open");
  const UUID other = addPriority("Another one");
  prioritiesStore->apply([&](DailyPriorities& plan) { plan.markAccomplished(done, clock->now()); });
  coordinator->showToday();
  const auto start = windows.today->start;

  EXPECT_EQ(refusal([&] { start(gone, false); }), missing);
  EXPECT_EQ(refusal([&] { start(done, true); }), alreadyDone);
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Idle>());
  EXPECT_FALSE(coordinator->activePriorityID());

  // While a focus runs, its link stays.
  start(open, false);
  presenter->finishVisit();
  const PomodoroSession running = coordinator->pomodoro();
  EXPECT_EQ(refusal([&] { start(other, false); }), activeSession);
  EXPECT_EQ(coordinator->pomodoro(), running);
  EXPECT_EQ(coordinator->activePriorityID(), open);
  // A finished focus waiting for its break gives way to the new one at once.
  clock->set(clock->now() + 1500);
  timers.made.at(0)->fire();
  ASSERT_TRUE(coordinator->pomodoro().phase().is<Phase::AwaitingBreak>());
  start(other, true);
  EXPECT_EQ(coordinator->pomodoro().focus(), "Another one");
  EXPECT_EQ(coordinator->activePriorityID(), other);

  // The window's action outlives the coordinator and then refuses.
  coordinator.reset();
  EXPECT_EQ(refusal([&] { start(open, false); }),
            "There is no running session to pause or stop.");
}

TEST_F(RoutingTest, ACalendarFocusFitsTheGapAndIsNeverAStarter) {
  buildAndStart();
  const UUID open = addPriority("Plan the week");
  const UUID done = addPriority("Done already");
  prioritiesStore->apply([&](DailyPriorities& plan) { plan.markAccomplished(done, clock->now()); });
  const UUID unknown = UUID::random();

  // Minutes, goal, priority: the refusal.
  const struct {
    int minutes;
    const char* goal;
    std::optional<UUID> priority;
    const char* sentence;
  } refused[] = {
      {4, "Review", std::nullopt, invalidGoal},
      {26, "Review", std::nullopt, invalidGoal},
      {10, "   ", std::nullopt, invalidGoal},
      {10, "Review", unknown, missing},
      {10, "Review", done, alreadyDone},
  };
  for (const auto& row : refused) {
    SCOPED_TRACE(row.sentence);
    EXPECT_EQ(refusal([&] { coordinator->startCalendarFocus(row.minutes, row.goal, row.priority); }),
              row.sentence);
    EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Idle>());
    EXPECT_FALSE(coordinator->activePriorityID());
  }

  coordinator->startCalendarFocus(5, "Review", std::nullopt);
  const auto* working = coordinator->pomodoro().phase().as<Phase::Working>();
  ASSERT_NE(working, nullptr);
  EXPECT_EQ(working->endsAt - working->startedAt, 300);
  EXPECT_FALSE(coordinator->isStarterFocus());
  EXPECT_FALSE(coordinator->activePriorityID());
  EXPECT_EQ(refusal([&] { coordinator->startCalendarFocus(10, "Other", open); }), activeSession);
  EXPECT_EQ(coordinator->pomodoro().focus(), "Review");

  coordinator->cancelPomodoro();
  coordinator->startCalendarFocus(25, "Outline the plan", open);
  EXPECT_EQ(coordinator->pomodoro().focus(), "Outline the plan");
  EXPECT_EQ(coordinator->activePriorityID(), open);

  // No calendar model in this build: the window stays shut.
  coordinator->showCalendarFocus();
  EXPECT_EQ(windows.calendar->shows, 0);
}

TEST_F(RoutingTest, TheReflectionOpensTheHistoryWhileTheCoordinatorLives) {
  buildAndStart();
  coordinator->showFocusHistory();
  EXPECT_EQ(windows.focusHistory->shows, 1);
  coordinator->showWeeklyReflection();
  ASSERT_EQ(windows.reflection->shows, 1);
  ASSERT_TRUE(windows.reflection->manageHistory);
  windows.reflection->manageHistory();
  EXPECT_EQ(windows.focusHistory->shows, 2);
  coordinator.reset();
  windows.reflection->manageHistory();
  EXPECT_EQ(windows.focusHistory->shows, 2);
}

TEST_F(RoutingTest, WindowsWithoutAControllerAreNotOpened) {
  auto given = dependencies();
  given.windows = {};
  build(std::move(given));
  coordinator->start();
  coordinator->showFocusHistory();
  coordinator->showWeeklyReflection();
  coordinator->showToday();
  EXPECT_EQ(windows.focusHistory->shows + windows.reflection->shows + windows.today->shows, 0);
}

}  // namespace
}  // namespace vorlane
