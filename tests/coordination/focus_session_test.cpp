// Focus and break periods driven through the coordinator, the session timer fired by hand.
#include <gtest/gtest.h>

#include <string>

#include "tests/coordination/coordinator_harness.h"

namespace vorlane {
namespace {

using Phase = PomodoroSession::Phase;

class FocusSessionTest : public CoordinatorTest {
 protected:
  FakeRepeatingTimer& timer() { return *timers.made.at(0); }
  // Starts a focus from the editor, as the user would, and lets its visit leave.
  void startFocus(const std::string& goal = "write report") {
    coordinator->requestNewPomodoro();
    windows.focusEditor->start(goal);
    presenter->finishVisit();
  }
  void fireAt(Date date) {
    clock->set(date);
    timer().fire();
  }
  std::vector<std::string> pomodoroLog() const { return logMessages(log, "pomodoro"); }
};

TEST_F(FocusSessionTest, FullFocusBreakAndCompletionCycle) {
  buildAndStart();
  coordinator->requestNewPomodoro();
  EXPECT_EQ(windows.focusEditor->minutes, 25);
  EXPECT_FALSE(windows.focusEditor->replacing);
  windows.focusEditor->start("  write\t\treport ");

  ASSERT_EQ(presenter->performed.size(), 1u);
  EXPECT_EQ(presenter->performed[0].kind, Visit::Kind::pomodoroStart());
  EXPECT_EQ(presenter->performed[0].bubbleText, "25 min");
  ASSERT_EQ(speech->spoken.size(), 1u);
  EXPECT_EQ(speech->spoken[0].text, "25 minutes. Go.");
  EXPECT_TRUE(timer().isActive());
  EXPECT_EQ(timer().interval, 1.0);
  EXPECT_EQ(timer().tolerance, 0.02);
  presenter->finishVisit();

  fireAt(at(11, 9));
  EXPECT_EQ(presenter->sessions.back().time, "15:00");
  EXPECT_EQ(presenter->sessions.back().caption, "write report");
  EXPECT_DOUBLE_EQ(*presenter->sessions.back().progress, 0.4);

  // The focus ends under the timer: recorded, celebrated without a bubble (the panel
  // carries the title), and the timer keeps running for the panel and its reminders.
  fireAt(at(11, 24));
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::AwaitingBreak>());
  ASSERT_EQ(historyStore->entries().size(), 1u);
  EXPECT_EQ(historyStore->entries()[0].focus, "write report");
  ASSERT_EQ(presenter->performed.size(), 2u);
  const Visit& end = presenter->performed[1];
  EXPECT_EQ(end.kind, Visit::Kind::pomodoroComplete());
  EXPECT_EQ(end.bubbleText, "25 min focus complete");
  EXPECT_FALSE(end.showsBubble);
  EXPECT_EQ(speech->spoken.size(), 1u);  // the focus end says nothing
  ASSERT_TRUE(presenter->completions.back().has_value());
  EXPECT_EQ(presenter->lastCompletionTime, "11:24");
  EXPECT_EQ(presenter->lastElapsedText, "Finished just now");
  EXPECT_TRUE(timer().isActive());
  presenter->finishVisit();

  fireAt(at(11, 24, 20));
  EXPECT_TRUE(presenter->completionReminders.empty());
  fireAt(at(11, 24, 30));
  fireAt(at(11, 25, 31));
  EXPECT_EQ(presenter->completionReminders.size(), 2u);
  EXPECT_EQ(presenter->lastElapsedText, "Finished 1 min ago");

  presenter->onCharacterClicked();  // only awaiting a break does a click start one
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::OnBreak>());
  EXPECT_FALSE(presenter->completions.back().has_value());
  EXPECT_EQ(presenter->performed.back().bubbleText, "Break 5m");
  EXPECT_EQ(speech->spoken.back().text, "Break time. 5 minutes.");
  presenter->finishVisit();
  presenter->onCharacterClicked();
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::OnBreak>());
  fireAt(at(11, 27));
  EXPECT_EQ(presenter->sessions.back().caption, "break");

  // The break ends on the 30-second tick.
  tickAt(at(11, 31));
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Idle>());
  EXPECT_EQ(presenter->performed.back().kind, Visit::Kind::breakComplete());
  EXPECT_EQ(presenter->performed.back().bubbleText, "5 min break complete");
  EXPECT_EQ(speech->spoken.back().text, "Break's over.");

  coordinator->dismissCompletion();
  EXPECT_FALSE(coordinator->pomodoro().completion().has_value());
  EXPECT_FALSE(timer().isActive());
  EXPECT_EQ(pomodoroLog(),
            (std::vector<std::string>{"started a 25 minute session", "session complete, 1 done today",
                                      "completion reminder shown", "completion reminder shown",
                                      "break started", "break over", "session cancelled"}));
}

TEST_F(FocusSessionTest, PhaseEndShowsAsTheEnvironmentAndMotionSettingAllow) {
  const struct {
    const char* name;
    bool reduceMotion;
    bool cameraAtEnd;
    bool cameraAtReminder;
    std::size_t visitsOffered;  // besides the start
    bool panelShown;
    std::string reminderLine;
  } rows[] = {
      {"free", false, false, false, 1, true, "completion reminder shown"},
      {"reduce motion", true, false, false, 0, true, "completion reminder shown"},
      {"camera on", false, true, true, 0, false, "completion reminder suppressed: camera in use"},
      {"camera off again", false, true, false, 0, false,
       "completion reminder suppressed: original completion was suppressed"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    LogCapture rowLog;
    timers.made.clear();
    presenter = std::make_shared<FakeVisitPresenter>();
    environment->facts.cameraInUse = false;
    clock->set(at(10, 59));
    auto given = dependencies();
    const bool reduce = row.reduceMotion;
    given.prefersReducedMotion = [reduce] { return reduce; };
    build(std::move(given));
    coordinator->start();
    startFocus();

    environment->facts.cameraInUse = row.cameraAtEnd;
    fireAt(at(11, 24));
    EXPECT_EQ(presenter->offered.size(), 1 + row.visitsOffered);
    // Shown, the visit leaves its title to the panel; suppressed, it keeps its bubble for
    // the notification the queue makes of it.
    if (row.visitsOffered > 0) {
      EXPECT_FALSE(presenter->offered.back().showsBubble);
    }
    if (row.cameraAtEnd) {
      ASSERT_FALSE(notifications->posted.empty());
      EXPECT_EQ(notifications->posted.back().body, "25 min focus complete");
    }
    EXPECT_EQ(presenter->completions.size() > 1, row.panelShown);

    environment->facts.cameraInUse = row.cameraAtReminder;
    presenter->finishVisit();
    fireAt(at(11, 24, 31));
    const auto lines = logMessages(rowLog, "pomodoro");
    EXPECT_EQ(lines.back(), row.reminderLine);
  }
}

TEST_F(FocusSessionTest, HistoryWriteFailureIsReportedAndTheSessionMovesOn) {
  buildAndStart();
  startFocus();
  records.setFailing(true);
  fireAt(at(11, 24));
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::AwaitingBreak>());
  EXPECT_EQ(notifications->posted,
            (std::vector<FakeNotificationService::Posted>{
                {"Vorlane", "Focus finished, but its history could not be saved."}}));
  EXPECT_EQ(historyStore->errorMessage(), FocusHistoryStore::saveFailedMessage);
  EXPECT_EQ(presenter->performed.back().kind, Visit::Kind::pomodoroComplete());
}

TEST_F(FocusSessionTest, PausingAtTheSecondTheFocusEndsFinishesItInstead) {
  buildAndStart();
  startFocus();
  clock->set(at(11, 24));
  coordinator->requestPauseSession();
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::AwaitingBreak>());
  EXPECT_EQ(historyStore->entries().size(), 1u);
  EXPECT_EQ(windows.resumeNotes->shows, 0);
  EXPECT_EQ(records.writeCount(FocusRecoveryStore::key), 0);
}

// A menu built before a phase changed may send a request that no longer fits: it must
// leave everything as it was (skipBreak and extendSession used to act on idle).
TEST_F(FocusSessionTest, RequestsThatDoNotFitThePhaseDoNothing) {
  enum class At { idle, idleAfterBreak, working, awaitingBreak, onBreak, pausedFocus, pausedBreak };
  enum class Request { skipBreak, extend, pause, resume };
  const struct {
    At phase;
    bool skips, extends, pauses, resumes;
  } rows[] = {
      {At::idle, false, false, false, false},
      {At::idleAfterBreak, false, false, false, false},
      {At::working, false, true, true, false},
      {At::awaitingBreak, true, true, false, false},
      {At::onBreak, true, true, true, false},
      {At::pausedFocus, false, true, false, true},
      {At::pausedBreak, true, true, false, true},
  };
  const auto reach = [this](At phase) {
    if (phase == At::idle) return;
    startFocus();
    if (phase == At::working) return;
    if (phase == At::pausedFocus) return coordinator->requestPauseSession();
    fireAt(at(11, 24));
    if (phase == At::awaitingBreak) return;
    coordinator->startBreak();
    if (phase == At::pausedBreak) coordinator->requestPauseSession();
    if (phase == At::idleAfterBreak) fireAt(at(11, 30));
  };
  for (const auto& row : rows) {
    for (const Request request : {Request::skipBreak, Request::extend, Request::pause,
                                  Request::resume}) {
      SCOPED_TRACE(testing::Message() << "phase " << static_cast<int>(row.phase) << " request "
                                      << static_cast<int>(request));
      LogCapture rowLog;
      timers.made.clear();
      windows = FakeFeatureWindows{};
      presenter = std::make_shared<FakeVisitPresenter>();
      clock->set(at(10, 59));
      buildAndStart();
      reach(row.phase);
      const PomodoroSession before = coordinator->pomodoro();
      const auto panels = presenter->completions.size();
      const bool timing = timer().isActive();
      const auto lines = logMessages(rowLog, "pomodoro").size();
      bool expected = false;
      switch (request) {
        case Request::skipBreak:
          coordinator->skipBreak();
          expected = row.skips;
          break;
        case Request::extend:
          coordinator->extendSession(5);
          expected = row.extends;
          break;
        case Request::pause:
          coordinator->requestPauseSession();
          expected = row.pauses;
          break;
        case Request::resume:
          coordinator->requestResumeSession();
          expected = row.resumes;
          break;
      }
      const bool acted = !(coordinator->pomodoro() == before);
      EXPECT_EQ(acted, expected);
      if (!expected) {
        EXPECT_EQ(presenter->completions.size(), panels);
        EXPECT_EQ(timer().isActive(), timing);
        EXPECT_EQ(logMessages(rowLog, "pomodoro").size(), lines);
      }
    }
  }
}

TEST_F(FocusSessionTest, ExtendingAFinishedFocusGoesOnWithTheSameSession) {
  buildAndStart();
  startFocus();
  fireAt(at(11, 24));
  const UUID session = coordinator->pomodoro().sessionID();
  coordinator->extendSession(5);
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Working>());
  EXPECT_EQ(coordinator->pomodoro().sessionID(), session);
  EXPECT_FALSE(presenter->completions.back().has_value());
  EXPECT_TRUE(timer().isActive());
  EXPECT_EQ(logMessages(log, "pomodoro").back(), "session extended by 5 minutes");
}

TEST_F(FocusSessionTest, GoalIsJudgedOnTheTextThatWillBeStored) {
  const std::string x120(120, 'x');
  const struct {
    const char* name;
    std::string goal;
    bool starts;
  } rows[] = {
      {"120 characters", x120, true},
      {"121 characters", x120 + "y", false},
      // One pass of cleaning left " \u0301", one character more than was checked; cleaning
      // now ends at 120 characters, and the checkpoint keeps them.
      {"a mark after a line break", x120 + "\r\u0301", true},
      {"the typed command's whole line", "focus " + x120 + "\r\u0301", false},
      {"119 and a mark after a line break", x120.substr(1) + "\r\u0301", true},
      {"runs of spaces count once", "  a \t\n " + x120.substr(2), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    timers.made.clear();
    FocusRecoveryStore(&records).clear();
    buildAndStart();
    coordinator->requestNewPomodoro();
    if (!row.starts) {
      try {
        windows.focusEditor->start(row.goal);
        ADD_FAILURE() << "accepted";
      } catch (const VisitCoordinator::ActionError& error) {
        EXPECT_STREQ(error.what(),
                     "Use a goal of 1\u2013120 characters and a duration from 1 to 90 minutes.");
      }
      EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Idle>());
      continue;
    }
    windows.focusEditor->start(row.goal);
    // The point of the limit: the focus survives a pause as a checkpoint.
    coordinator->requestPauseSession();
    EXPECT_TRUE(FocusRecoveryStore(&records).document().value().has_value());
  }
}

TEST_F(FocusSessionTest, StarterAndFullLengthsFollowTheSettingsWhenTheUserStarts) {
  preferences->setPreferences(Preferences({.workMinutes = 200, .breakMinutes = 45}));
  buildAndStart();
  coordinator->requestFiveMinuteFocus();
  EXPECT_EQ(windows.focusEditor->minutes, 5);
  windows.focusEditor->start("");
  EXPECT_TRUE(coordinator->isStarterFocus());
  EXPECT_EQ(coordinator->pomodoro().workDuration(), 300);
  EXPECT_EQ(presenter->sessions.back().caption, "focus");
  presenter->finishVisit();

  coordinator->requestNewPomodoro();
  EXPECT_TRUE(windows.focusEditor->replacing);
  preferences->setPreferences(Preferences({.workMinutes = 0}));
  windows.focusEditor->start("next");
  EXPECT_FALSE(coordinator->isStarterFocus());
  EXPECT_EQ(coordinator->pomodoro().workDuration(), 60);
}

}  // namespace
}  // namespace vorlane
