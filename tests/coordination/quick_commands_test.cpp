// Typed quick commands, the pills' dispatch and the checks before a requested focus.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/productivity/quick_command.h"
#include "core/reminders/reminder_parser.h"
#include "tests/coordination/coordinator_harness.h"

namespace vorlane {
namespace {

using Phase = PomodoroSession::Phase;
using enum QuickAction;

class QuickCommandsTest : public CoordinatorTest {
 protected:
  void SetUp() override { buildAndStart(); }

  // The sentence of whatever the command throws; empty when it answers.
  std::string failure(const std::string& text) {
    try {
      coordinator->executeCommand(text);
    } catch (const std::exception& error) {
      return error.what();
    }
    return {};
  }

  // A new coordinator over fresh fakes, for one row of a table.
  void fresh() {
    presenter = std::make_shared<FakeVisitPresenter>();
    speech = std::make_shared<FakeSpeechService>();
    windows = FakeFeatureWindows();
    // A paused focus left a checkpoint, which the next coordinator would restore.
    FocusRecoveryStore(&records).clear();
    clock->set(at(10, 59));
    buildAndStart();
  }

  // Session states reached the way the user reaches them.
  void working(const std::string& goal = "write report") {
    coordinator->startRequestedFocus(25, goal);
    presenter->finishVisit();
  }
  void awaitingBreak(const std::string& goal = "write report") {
    working(goal);
    tickAt(clock->peek() + 1500);
    presenter->finishVisit();
  }
  void onBreak() {
    awaitingBreak();
    coordinator->startBreak();
  }
  void pausedFocus(const std::string& goal = "write report") {
    working(goal);
    clock->advance(60);
    coordinator->requestPauseSession();
  }
  void pausedBreak() {
    onBreak();
    clock->advance(60);
    coordinator->requestPauseSession();
  }
  void finishedBreakCard() {
    onBreak();
    tickAt(clock->peek() + 300);
    presenter->finishVisit();
  }

  static constexpr const char* active =
      "A session is already active. Resume it, or stop it before starting a new focus.";
  static constexpr const char* noRunning = "There is no running session to pause or stop.";
  static constexpr const char* notPaused = "There is no paused session to resume.";
};

TEST_F(QuickCommandsTest, FocusWithoutMinutesTakesTheWorkLengthAndNamesIt) {
  Preferences settings;
  settings.workMinutes = 30;
  preferences->setPreferences(settings);
  EXPECT_EQ(coordinator->executeCommand("focus finish proposal"),
            "Started 30 minutes: finish proposal.");
  EXPECT_EQ(coordinator->pomodoro().endsAt(), at(10, 59) + 1800);
  EXPECT_EQ(coordinator->pomodoro().focus(), "finish proposal");
  EXPECT_FALSE(coordinator->isStarterFocus());
}

TEST_F(QuickCommandsTest, FiveMinuteFocusIsTheStarterWithItsOwnPillsAtTheEnd) {
  EXPECT_EQ(coordinator->executeCommand("focus 5m tidy desk"), "Started 5 minutes: tidy desk.");
  EXPECT_TRUE(coordinator->isStarterFocus());
  tickAt(at(11, 4));
  ASSERT_TRUE(coordinator->pomodoro().phase().is<Phase::AwaitingBreak>());
  EXPECT_EQ(coordinator->availableQuickActions(),
            (std::vector<QuickAction>{keepGoing, finishStarter, stopForNow}));
  EXPECT_EQ(presenter->contexts.back().actions, coordinator->availableQuickActions());
}

TEST_F(QuickCommandsTest, FocusIsRefusedWhilePeriodRunsOrIsPausedButNotAwaitingABreak) {
  const struct {
    const char* name;
    std::function<void()> setUp;
    std::string expected;
  } rows[] = {
      {"working", [this] { working(); }, active},
      {"on break", [this] { onBreak(); }, active},
      {"paused", [this] { pausedFocus(); }, active},
      {"awaiting a break", [this] { awaitingBreak(); }, ""},
  };
  for (const auto& row : rows) {
    fresh();
    row.setUp();
    const PomodoroSession before = coordinator->pomodoro();
    EXPECT_EQ(failure("focus 20m next thing"), row.expected) << row.name;
    if (row.expected.empty()) {
      EXPECT_EQ(coordinator->pomodoro().focus(), "next thing") << row.name;
    } else {
      EXPECT_EQ(coordinator->pomodoro(), before) << row.name;
    }
  }
}

TEST_F(QuickCommandsTest, RequestedFocusChecksGoalAndMinutes) {
  const std::string longest(120, 'g');
  const struct {
    int minutes;
    std::string goal;
    bool starts;
  } rows[] = {{25, "  write \n report ", true},
              {1, "x", true},
              {90, longest, true},
              {0, "x", false},
              {91, "x", false},
              {25, " \t ", false},
              {25, longest + "g", false},
              {25, "", false}};
  for (const auto& row : rows) {
    fresh();
    const int signals = stateChanges;
    try {
      coordinator->startRequestedFocus(row.minutes, row.goal);
      EXPECT_TRUE(row.starts) << row.minutes << " " << row.goal;
      EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Working>());
    } catch (const VisitCoordinator::ActionError& error) {
      EXPECT_FALSE(row.starts) << row.minutes << " " << row.goal;
      EXPECT_STREQ(error.what(),
                   "Use a goal of 1\u2013120 characters and a duration from 1 to 90 minutes.");
      EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Idle>());
      EXPECT_EQ(stateChanges, signals);
    }
  }
  fresh();
  coordinator->startRequestedFocus(25, "  write \n report ");
  EXPECT_EQ(coordinator->pomodoro().focus(), "write report");
}

TEST_F(QuickCommandsTest, PauseAnswersByWhatHappened) {
  working();
  clock->advance(60);
  EXPECT_EQ(coordinator->executeCommand("pause"),
            "Paused. You can leave an optional next step for your return.");
  EXPECT_TRUE(coordinator->pomodoro().isPaused());

  fresh();
  working();
  clock->set(at(10, 59) + 1500);  // the time is up, but no tick has seen it
  EXPECT_EQ(coordinator->executeCommand("pause"),
            "Your session finished. Choose what to do next from the menu.");
  EXPECT_TRUE(coordinator->pomodoro().completion().has_value());
}

TEST_F(QuickCommandsTest, PauseResumeAndStopRefuseWhenThereIsNothingToActOn) {
  const struct {
    const char* name;
    std::function<void()> setUp;
    const char* command;
    std::string expected;
  } rows[] = {
      {"pause idle", [] {}, "pause", noRunning},
      {"pause awaiting", [this] { awaitingBreak(); }, "pause", noRunning},
      {"pause paused", [this] { pausedFocus(); }, "pause", noRunning},
      {"resume running", [this] { working(); }, "resume", notPaused},
      {"resume idle", [] {}, "resume", notPaused},
      {"stop idle", [] {}, "stop", noRunning},
  };
  for (const auto& row : rows) {
    fresh();
    row.setUp();
    const PomodoroSession before = coordinator->pomodoro();
    const auto refreshes = presenter->contexts.size();
    EXPECT_EQ(failure(row.command), row.expected) << row.name;
    EXPECT_EQ(coordinator->pomodoro(), before) << row.name;
    EXPECT_EQ(presenter->contexts.size(), refreshes) << row.name;
  }
}

TEST_F(QuickCommandsTest, ResumeShowsTheNextStepFirstOrResumesAtOnce) {
  pausedFocus();
  coordinator->saveNextStep("check the figures");
  EXPECT_EQ(coordinator->executeCommand("resume"),
            "Review your next step, then choose Save & resume.");
  EXPECT_TRUE(coordinator->pomodoro().isPaused());

  // Only the focus editor starts a focus without a goal.
  fresh();
  coordinator->requestNewPomodoro();
  windows.focusEditor->start("");
  coordinator->requestPauseSession();
  ASSERT_TRUE(coordinator->pomodoro().isPaused());
  EXPECT_EQ(coordinator->executeCommand("resume"), "Resumed: your session.");
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Working>());

  fresh();
  pausedBreak();
  EXPECT_EQ(coordinator->executeCommand("resume"), "Resumed: write report.");
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::OnBreak>());
}

TEST_F(QuickCommandsTest, StopEndsARunningSessionOrAFinishedCard) {
  const std::function<void()> setUps[] = {[this] { working(); }, [this] { finishedBreakCard(); }};
  for (const auto& setUp : setUps) {
    fresh();
    setUp();
    EXPECT_EQ(coordinator->executeCommand("stop"),
              "Session stopped. Nothing was marked accomplished.");
    EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Idle>());
    EXPECT_FALSE(coordinator->pomodoro().completion());
  }
}

TEST_F(QuickCommandsTest, RemindSavesAndAnswersWithThePhraseAndItsTime) {
  EXPECT_EQ(coordinator->executeCommand("remind in 40m stretch"),
            "Saved: stretch \u2014 11:39 am.");
  ASSERT_EQ(reminders->reminders().size(), 1u);
  EXPECT_EQ(reminders->reminders()[0].trigger, VisitTrigger::countdown(2400));
  EXPECT_THROW(coordinator->executeCommand("remind stretch"), ReminderParser::ParseError);
  EXPECT_EQ(reminders->reminders().size(), 1u);
}

TEST_F(QuickCommandsTest, UnreadableLinesAnswerWithTheParsersSentences) {
  const struct {
    const char* text;
    const char* expected;
  } rows[] = {
      {"dance", "Try focus 25m finish proposal, remind in 40m stretch, pause, resume, or stop."},
      {"focus", "Try focus 25m finish proposal, remind in 40m stretch, pause, resume, or stop."},
      {"focus 25m", "Give your focus a goal of 1\u2013120 characters."},
      {"focus 95m write",
       "Use a whole number of minutes from 1 to 90, such as focus 25m finish proposal."},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(failure(row.text), row.expected) << row.text;
  }
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Idle>());
}

TEST_F(QuickCommandsTest, EveryPillDoesItsOneOperation) {
  const auto phase = [this]() -> const Phase& { return coordinator->pomodoro().phase(); };
  const struct {
    QuickAction action;
    std::function<void()> setUp;
    std::function<bool()> done;
  } rows[] = {
      {vorlane, [] {}, [this] { return presenter->performed.size() == 1; }},
      {startPomodoro, [] {}, [this] { return windows.focusEditor->shows == 1; }},
      {restartPomodoro, [this] { awaitingBreak(); },
       [this] { return windows.focusEditor->shows == 1; }},
      {dismissCompletion, [this] { finishedBreakCard(); },
       [this] { return !coordinator->pomodoro().completion(); }},
      {stopForNow, [this] { awaitingBreak(); },
       [this] { return !coordinator->pomodoro().completion(); }},
      {markAccomplished, [this] { awaitingBreak(); },
       [this] { return windows.focusHistory->shows == 1; }},
      {finishStarter, [this] { awaitingBreak(); },
       [this] { return windows.focusHistory->shows == 1; }},
      {pauseSession, [this] { working(); }, [this, phase] { return phase().is<Phase::Paused>(); }},
      {resumeSession, [this] { pausedBreak(); },
       [this, phase] { return phase().is<Phase::OnBreak>(); }},
      {cancelSession, [this] { working(); }, [this, phase] { return phase().is<Phase::Idle>(); }},
      {startBreak, [this] { awaitingBreak(); },
       [this, phase] { return phase().is<Phase::OnBreak>(); }},
      {skipBreak, [this] { onBreak(); }, [this, phase] { return phase().is<Phase::Idle>(); }},
      {mute, [] {}, [this] { return coordinator->muteExpiry() == at(11, 59); }},
      {unmute, [this] { coordinator->mute(MuteDuration::untilTomorrow); },
       [this] { return !coordinator->mutedUntil(); }},
  };
  for (const auto& row : rows) {
    fresh();
    row.setUp();
    ASSERT_TRUE(presenter->onQuickAction);
    presenter->onQuickAction(row.action);
    EXPECT_TRUE(row.done()) << rawValue(row.action);
  }
}

TEST_F(QuickCommandsTest, PillsFollowEveryPhaseChange) {
  const auto shown = [this] { return presenter->contexts.back().actions; };
  working();
  EXPECT_EQ(shown(), (std::vector<QuickAction>{pauseSession, extendSession, cancelSession}));
  coordinator->requestPauseSession();
  EXPECT_EQ(shown(), (std::vector<QuickAction>{resumeSession, cancelSession}));
  coordinator->resumeSession();
  EXPECT_EQ(shown(), (std::vector<QuickAction>{pauseSession, extendSession, cancelSession}));
  tickAt(clock->peek() + 1500);
  EXPECT_EQ(shown(), (std::vector<QuickAction>{startBreak, extendSession, restartPomodoro,
                                               markAccomplished, dismissCompletion}));
  coordinator->startBreak();
  EXPECT_EQ(shown(), (std::vector<QuickAction>{pauseSession, extendSession, skipBreak}));
  coordinator->skipBreak();
  EXPECT_EQ(shown(), (std::vector<QuickAction>{vorlane, startPomodoro, mute}));
}

TEST_F(QuickCommandsTest, KeepGoingAndExtendBothAddFiveMinutes) {
  for (const QuickAction action : {keepGoing, extendSession}) {
    fresh();
    working();
    const Date end = *coordinator->pomodoro().endsAt();
    coordinator->perform(action);
    EXPECT_EQ(coordinator->pomodoro().endsAt(), end + 300) << rawValue(action);
  }
}

TEST_F(QuickCommandsTest, QuickCommandWindowRunsCommandsWhileTheCoordinatorLives) {
  ASSERT_TRUE(hotKeys->press(quickCommandHotKey.identifier));
  ASSERT_EQ(windows.quickCommands->shows, 1);
  EXPECT_TRUE(windows.quickCommands->shortcutAvailable);
  const auto execute = windows.quickCommands->execute;
  EXPECT_EQ(execute("focus 25m finish proposal"), "Started 25 minutes: finish proposal.");

  coordinator.reset();
  try {
    execute("pause");
    ADD_FAILURE();
  } catch (const VisitCoordinator::ActionError& error) {
    EXPECT_STREQ(error.what(), noRunning);
  }

  hotKeys->taken.insert(quickCommandHotKey.identifier);
  fresh();
  EXPECT_FALSE(hotKeys->press(quickCommandHotKey.identifier));
  coordinator->showQuickCommands();
  EXPECT_FALSE(windows.quickCommands->shortcutAvailable);
}

}  // namespace
}  // namespace vorlane
