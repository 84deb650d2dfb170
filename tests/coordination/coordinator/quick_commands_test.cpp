// Typed quick commands and the pills' dispatch. The checks on a requested focus are tested
// on the focus session alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/coordination/coordinator/coordinator_harness.h"

namespace vorlane {
namespace {

using enum QuickAction;

constexpr const char* tryThis =
    "Try focus 25m finish proposal, remind in 40m stretch, pause, resume, or stop.";

class QuickCommandsTest : public CoordinatorTest {
 protected:
  void SetUp() override { buildAndStart(); }
};

TEST_F(QuickCommandsTest, EveryCommandAnswersWithItsSentenceOrChangesNothing) {
  const std::string stopped = "Session stopped. Nothing was marked accomplished.";
  const struct {
    At state;
    const char* command;
    std::string answer;  // or the sentence of the refusal
    std::string phaseAfter;
  } rows[] = {
      {At::idle, "focus finish proposal", "Started 30 minutes: \u2068finish proposal\u2069.",
       "working"},
      {At::working, "focus 20m next", activeSession, "working"},
      {At::pausedFocus, "focus 20m next", activeSession, "paused"},
      {At::awaiting, "focus 20m next thing", "Started 20 minutes: \u2068next thing\u2069.",
       "working"},
      {At::working, "pause", "Paused. You can leave an optional next step for your return.",
       "paused"},
      {At::idle, "pause", noRunning, "idle"},
      {At::awaiting, "pause", noRunning, "awaiting"},
      {At::working, "resume", notPaused, "working"},
      {At::pausedNoGoal, "resume", "Resumed: your session.", "working"},
      {At::pausedBreak, "resume", "Resumed: \u2068write report\u2069.", "break"},
      {At::idle, "stop", noRunning, "idle"},
      {At::working, "stop", stopped, "idle"},
      {At::breakCard, "stop", stopped, "idle"},
      {At::idle, "remind in 40m stretch", "Saved: \u2068stretch\u2069 \u2014 11:39 am.", "idle"},
      // A right-to-left text must not run into the time after it.
      {At::idle,
       "remind in 40m \u0627\u062C\u062A\u0645\u0627\u0639 \u0627\u0644\u0641\u0631\u064A\u0642",
       "Saved: \u2068\u0627\u062C\u062A\u0645\u0627\u0639 "
       "\u0627\u0644\u0641\u0631\u064A\u0642\u2069 "
       "\u2014 11:39 am.",
       "idle"},
      {At::idle, "focus 20m \u05DC\u05DB\u05EA\u05D5\u05D1 \u05D3\u05D5\u05D7",
       "Started 20 minutes: \u2068\u05DC\u05DB\u05EA\u05D5\u05D1 \u05D3\u05D5\u05D7\u2069.",
       "working"},
      {At::idle, "remind stretch", "Add a time, such as 4pm, in 25m, or weekdays 9:30am.", "idle"},
      {At::idle, "dance", tryThis, "idle"},
      {At::idle, "focus 25m", "Give your focus a goal of 1\u2013120 characters.", "idle"},
      {At::idle, "focus 95m write",
       "Use a whole number of minutes from 1 to 90, such as focus 25m finish proposal.", "idle"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.command << " at " << static_cast<int>(row.state));
    preferences->setPreferences(Preferences({.workMinutes = 30}));
    reach(row.state);
    const PomodoroSession before = coordinator->focus().pomodoro();
    const auto refreshes = presenter->contexts.size();
    std::string answer;
    const std::string failure = refusal([&] { answer = coordinator->executeCommand(row.command); });
    EXPECT_EQ(failure.empty() ? answer : failure, row.answer);
    EXPECT_EQ(phase(), row.phaseAfter);
    if (!failure.empty()) {
      EXPECT_EQ(coordinator->focus().pomodoro(), before);
      EXPECT_EQ(presenter->contexts.size(), refreshes);
    }
    if (row.phaseAfter == "idle") {
      EXPECT_FALSE(coordinator->focus().pomodoro().completion());
    }
  }
  // The time is up, but no tick has seen it: the focus ends instead of pausing.
  reach(At::working);
  clock->advance(1800);
  EXPECT_EQ(coordinator->executeCommand("pause"),
            "Your session finished. Choose what to do next from the menu.");
  EXPECT_EQ(phase(), "awaiting");
  reach(At::pausedFocus);  // with a note, resuming shows it first
  coordinator->focus().saveNextStep("check");
  EXPECT_EQ(coordinator->executeCommand("resume"),
            "Review your next step, then choose Save & resume.");
  EXPECT_EQ(phase(), "paused");
}

TEST_F(QuickCommandsTest, FiveMinutesMakeTheStarterWithItsOwnPillsAtTheEnd) {
  EXPECT_EQ(coordinator->executeCommand("focus 5m tidy desk"),
            "Started 5 minutes: \u2068tidy desk\u2069.");
  EXPECT_TRUE(coordinator->status().isStarterFocus);
  tickAt(at(11, 4));
  EXPECT_EQ(presenter->contexts.back().actions,
            (std::vector<QuickAction>{keepGoing, finishStarter, stopForNow}));
}

// A pill drawn before the phase changed is refused by the session: it changes nothing and
// nothing escapes to the scene.
TEST_F(QuickCommandsTest, APillLeftFromAnEarlierPhaseChangesNothing) {
  const struct {
    At state;
    QuickAction action;
  } rows[] = {{At::breakCard, keepGoing},    {At::breakCard, skipBreak},
              {At::breakCard, pauseSession}, {At::working, resumeSession},
              {At::idle, cancelSession},     {At::working, skipBreak}};
  for (const auto& row : rows) {
    SCOPED_TRACE(rawValue(row.action));
    reach(row.state);
    const PomodoroSession before = coordinator->focus().pomodoro();
    EXPECT_NO_THROW(presenter->onQuickAction(row.action));
    EXPECT_EQ(coordinator->focus().pomodoro(), before);
  }
}

TEST_F(QuickCommandsTest, EveryPillDoesItsOneOperationAndThePillsFollowEveryChange) {
  const struct {
    QuickAction action;
    At state;
    std::function<bool()> done;
  } rows[] = {
      {vorlane, At::idle, [this] { return presenter->performed.size() == 1; }},
      {startPomodoro, At::idle, [this] { return windows.focusSessionEditor->shows == 1; }},
      {restartPomodoro, At::awaiting, [this] { return windows.focusSessionEditor->shows == 2; }},
      {dismissCompletion, At::breakCard,
       [this] { return !coordinator->focus().pomodoro().completion(); }},
      {stopForNow, At::awaiting, [this] { return !coordinator->focus().pomodoro().completion(); }},
      {markAccomplished, At::awaiting, [this] { return windows.focusHistory->shows == 1; }},
      {finishStarter, At::awaiting, [this] { return windows.focusHistory->shows == 1; }},
      {pauseSession, At::working, [this] { return phase() == "paused"; }},
      {resumeSession, At::pausedBreak, [this] { return phase() == "break"; }},
      {cancelSession, At::working, [this] { return phase() == "idle"; }},
      {startBreak, At::awaiting, [this] { return phase() == "break"; }},
      {skipBreak, At::onBreak, [this] { return phase() == "idle"; }},
      {extendSession, At::working,
       [this] { return coordinator->focus().pomodoro().endsAt() == at(11, 29); }},
      // A finished focus goes on as the same session.
      {keepGoing, At::awaiting,
       [this] {
         const auto& recorded = historyStore->entries();
         return phase() == "working" &&
                std::any_of(recorded.begin(), recorded.end(), [&](const auto& e) {
                  return e.id == coordinator->focus().pomodoro().sessionID();
                });
       }},
      {mute, At::idle, [this] { return coordinator->reminders().muteExpiry() == at(11, 59); }},
      {unmute, At::idle, [this] { return !coordinator->reminders().mutedUntil(); }},
  };
  for (const auto& row : rows) {
    reach(row.state);
    if (row.action == unmute) coordinator->mute(MuteDuration::untilTomorrow);
    presenter->onQuickAction(row.action);
    EXPECT_TRUE(row.done()) << rawValue(row.action);
    EXPECT_EQ(presenter->contexts.back().actions, coordinator->status().quickActions)
        << rawValue(row.action);
  }
  EXPECT_EQ(logMessages(log, "pomodoro").back(), "session extended by 5 minutes");
}

TEST_F(QuickCommandsTest, QuickCommandWindowRunsCommandsWhileTheCoordinatorLives) {
  ASSERT_TRUE(hotKeys->press(quickCommandHotKey.identifier));
  ASSERT_EQ(windows.quickCommand->shows, 1);
  EXPECT_TRUE(windows.quickCommand->shortcutAvailable);
  const auto execute = windows.quickCommand->execute;
  EXPECT_EQ(execute("focus 25m finish proposal"),
            "Started 25 minutes: \u2068finish proposal\u2069.");
  coordinator.reset();
  EXPECT_EQ(refusal([&] { execute("pause"); }), closing);

  hotKeys->taken.insert(quickCommandHotKey.identifier);
  fresh();
  EXPECT_FALSE(hotKeys->press(quickCommandHotKey.identifier));
  coordinator->show(WindowKind::quickCommand);
  EXPECT_FALSE(windows.quickCommand->shortcutAvailable);
}

}  // namespace
}  // namespace vorlane
