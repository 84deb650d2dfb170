// Typed quick commands, the pills' dispatch and the checks before a requested focus.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/coordination/coordinator_harness.h"

namespace vorlane {
namespace {

using enum QuickAction;

constexpr const char* active =
    "A session is already active. Resume it, or stop it before starting a new focus.";
constexpr const char* noRunning = "There is no running session to pause or stop.";
constexpr const char* notPaused = "There is no paused session to resume.";
constexpr const char* invalidGoal =
    "Use a goal of 1\u2013120 characters and a duration from 1 to 90 minutes.";
constexpr const char* tryThis =
    "Try focus 25m finish proposal, remind in 40m stretch, pause, resume, or stop.";

class QuickCommandsTest : public CoordinatorTest {
 protected:
  void SetUp() override { buildAndStart(); }

  // Session states reached the way the user reaches them.
  void working() {
    coordinator->startRequestedFocus(25, "write report");
    presenter->finishVisit();
  }
  void awaitingBreak() {
    working();
    tickAt(clock->peek() + 1500);
    presenter->finishVisit();
  }
  void onBreak() {
    awaitingBreak();
    coordinator->startBreak();
  }
  void paused(const std::function<void()>& reach) {
    reach();
    clock->advance(60);
    coordinator->requestPauseSession();
  }
  void finishedBreakCard() {
    onBreak();
    tickAt(clock->peek() + 300);
    presenter->finishVisit();
  }
};

TEST_F(QuickCommandsTest, EveryCommandAnswersWithItsSentenceOrChangesNothing) {
  const auto none = [] {};
  const struct {
    const char* name;
    std::function<void()> setUp;
    const char* command;
    std::string answer;  // or the sentence of the refusal
    std::string phaseAfter;
  } rows[] = {
      {"focus takes the work length",
       [this] { change([](Preferences& p) { p.workMinutes = 30; }); }, "focus finish proposal",
       "Started 30 minutes: finish proposal.", "working"},
      {"focus refused while working", [this] { working(); }, "focus 20m next", active, "working"},
      {"focus refused on a break", [this] { onBreak(); }, "focus 20m next", active, "break"},
      {"focus refused while paused", [this] { paused([this] { working(); }); }, "focus 20m next",
       active, "paused"},
      {"focus replaces a finished one", [this] { awaitingBreak(); }, "focus 20m next thing",
       "Started 20 minutes: next thing.", "working"},
      {"pause", [this] { working(); }, "pause",
       "Paused. You can leave an optional next step for your return.", "paused"},
      // The time is up, but no tick has seen it: the focus ends instead.
      {"pause as the focus ends", [this] { working(), clock->advance(1500); }, "pause",
       "Your session finished. Choose what to do next from the menu.", "awaiting"},
      {"pause idle", none, "pause", noRunning, "idle"},
      {"pause awaiting", [this] { awaitingBreak(); }, "pause", noRunning, "awaiting"},
      {"pause paused", [this] { paused([this] { working(); }); }, "pause", noRunning, "paused"},
      {"resume running", [this] { working(); }, "resume", notPaused, "working"},
      {"resume idle", none, "resume", notPaused, "idle"},
      {"resume with a note shows it first",
       [this] { paused([this] { working(); }), coordinator->saveNextStep("check"); }, "resume",
       "Review your next step, then choose Save & resume.", "paused"},
      // Only the focus editor starts a focus without a goal.
      {"resume a focus without a goal",
       [this] { paused([this] { startFocus(""); }); }, "resume", "Resumed: your session.",
       "working"},
      {"resume a break", [this] { paused([this] { onBreak(); }); }, "resume",
       "Resumed: write report.", "break"},
      {"stop idle", none, "stop", noRunning, "idle"},
      {"stop working", [this] { working(); }, "stop",
       "Session stopped. Nothing was marked accomplished.", "idle"},
      {"stop a finished card", [this] { finishedBreakCard(); }, "stop",
       "Session stopped. Nothing was marked accomplished.", "idle"},
      {"remind", none, "remind in 40m stretch", "Saved: stretch \u2014 11:39 am.", "idle"},
      {"remind without a time", none, "remind stretch",
       "Add a time, such as 4pm, in 25m, or weekdays 9:30am.", "idle"},
      {"unknown word", none, "dance", tryThis, "idle"},
      {"focus alone", none, "focus", tryThis, "idle"},
      {"focus without a goal", none, "focus 25m", "Give your focus a goal of 1\u2013120 characters.",
       "idle"},
      {"focus too long", none, "focus 95m write",
       "Use a whole number of minutes from 1 to 90, such as focus 25m finish proposal.", "idle"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FocusRecoveryStore(&records).clear();
    preferences->setPreferences(Preferences());
    fresh();
    row.setUp();
    const PomodoroSession before = coordinator->pomodoro();
    const auto refreshes = presenter->contexts.size();
    std::string answer;
    const std::string failure = refusal([&] { answer = coordinator->executeCommand(row.command); });
    EXPECT_EQ(failure.empty() ? answer : failure, row.answer);
    EXPECT_EQ(phase(), row.phaseAfter);
    if (!failure.empty()) {
      EXPECT_EQ(coordinator->pomodoro(), before);
      EXPECT_EQ(presenter->contexts.size(), refreshes);
    }
    if (row.phaseAfter == "idle") {
      EXPECT_FALSE(coordinator->pomodoro().completion());
    }
  }
}

TEST_F(QuickCommandsTest, FiveMinutesMakeTheStarterWithItsOwnPillsAtTheEnd) {
  EXPECT_EQ(coordinator->executeCommand("focus 5m tidy desk"), "Started 5 minutes: tidy desk.");
  EXPECT_TRUE(coordinator->isStarterFocus());
  tickAt(at(11, 4));
  ASSERT_EQ(phase(), "awaiting");
  EXPECT_EQ(coordinator->availableQuickActions(),
            (std::vector<QuickAction>{keepGoing, finishStarter, stopForNow}));
  EXPECT_EQ(presenter->contexts.back().actions, coordinator->availableQuickActions());
}

// The goal is judged on the text that will be stored, whichever way the focus starts.
TEST_F(QuickCommandsTest, RequestedFocusChecksGoalAndMinutes) {
  const std::string x120(120, 'x');
  enum class Via { request, editor };
  const struct {
    const char* name;
    Via via;
    int minutes;
    std::string goal;
    bool starts;
  } rows[] = {
      {"cleaned", Via::request, 25, "  write \n report ", true},
      {"shortest", Via::request, 1, "x", true},
      {"longest", Via::request, 90, x120, true},
      {"no minutes", Via::request, 0, "x", false},
      {"too many minutes", Via::request, 91, "x", false},
      {"blank", Via::request, 25, " \t ", false},
      {"empty", Via::request, 25, "", false},
      {"121 characters", Via::editor, 25, x120 + "y", false},
      // Cleaning leaves " \u0301", one character more; cleaning again would drop it.
      {"a mark after a line break", Via::editor, 25, x120 + "\r\u0301", false},
      {"the typed command's whole line", Via::editor, 25, "focus " + x120 + "\r\u0301", false},
      {"119 and a mark after a line break", Via::editor, 25, x120.substr(1) + "\r\u0301", true},
      {"runs of spaces count once", Via::editor, 25, "  a \t\n " + x120.substr(2), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FocusRecoveryStore(&records).clear();
    fresh();
    const int signals = stateChanges;
    const std::string failure = refusal([&] {
      if (row.via == Via::request) coordinator->startRequestedFocus(row.minutes, row.goal);
      if (row.via == Via::editor) coordinator->requestNewPomodoro(), windows.focusEditor->start(row.goal);
    });
    if (!row.starts) {
      EXPECT_EQ(failure, invalidGoal);
      EXPECT_EQ(phase(), "idle");
      EXPECT_EQ(stateChanges, signals);
      continue;
    }
    EXPECT_EQ(failure, "");
    if (row.goal == rows[0].goal) {
      EXPECT_EQ(coordinator->pomodoro().focus(), "write report");
    }
    // The point of the limit: the focus survives a pause as a checkpoint.
    coordinator->requestPauseSession();
    EXPECT_TRUE(FocusRecoveryStore(&records).document().value().has_value());
  }
}

TEST_F(QuickCommandsTest, EveryPillDoesItsOneOperation) {
  const struct {
    QuickAction action;
    std::function<void()> setUp;
    std::function<bool()> done;
  } rows[] = {
      {vorlane, [] {}, [this] { return presenter->performed.size() == 1; }},
      {startPomodoro, [] {}, [this] { return windows.focusEditor->shows == 1; }},
      {restartPomodoro, [this] { awaitingBreak(); }, [this] { return windows.focusEditor->shows == 1; }},
      {dismissCompletion, [this] { finishedBreakCard(); },
       [this] { return !coordinator->pomodoro().completion(); }},
      {stopForNow, [this] { awaitingBreak(); }, [this] { return !coordinator->pomodoro().completion(); }},
      {markAccomplished, [this] { awaitingBreak(); }, [this] { return windows.focusHistory->shows == 1; }},
      {finishStarter, [this] { awaitingBreak(); }, [this] { return windows.focusHistory->shows == 1; }},
      {pauseSession, [this] { working(); }, [this] { return phase() == "paused"; }},
      {resumeSession, [this] { paused([this] { onBreak(); }); }, [this] { return phase() == "break"; }},
      {cancelSession, [this] { working(); }, [this] { return phase() == "idle"; }},
      {startBreak, [this] { awaitingBreak(); }, [this] { return phase() == "break"; }},
      {skipBreak, [this] { onBreak(); }, [this] { return phase() == "idle"; }},
      {mute, [] {}, [this] { return coordinator->muteExpiry() == at(11, 59); }},
      {unmute, [this] { coordinator->mute(MuteDuration::untilTomorrow); },
       [this] { return !coordinator->mutedUntil(); }},
  };
  for (const auto& row : rows) {
    FocusRecoveryStore(&records).clear();
    fresh();
    row.setUp();
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

TEST_F(QuickCommandsTest, QuickCommandWindowRunsCommandsWhileTheCoordinatorLives) {
  ASSERT_TRUE(hotKeys->press(quickCommandHotKey.identifier));
  ASSERT_EQ(windows.quickCommands->shows, 1);
  EXPECT_TRUE(windows.quickCommands->shortcutAvailable);
  const auto execute = windows.quickCommands->execute;
  EXPECT_EQ(execute("focus 25m finish proposal"), "Started 25 minutes: finish proposal.");
  coordinator.reset();
  EXPECT_EQ(refusal([&] { execute("pause"); }), noRunning);

  hotKeys->taken.insert(quickCommandHotKey.identifier);
  fresh();
  EXPECT_FALSE(hotKeys->press(quickCommandHotKey.identifier));
  coordinator->showQuickCommands();
  EXPECT_FALSE(windows.quickCommands->shortcutAvailable);
}

}  // namespace
}  // namespace vorlane
