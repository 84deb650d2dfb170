// Which pills each phase of a focus session offers.
#include "coordination/session_quick_actions.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/coordination/coordinator_harness.h"

namespace vorlane {
namespace {

using enum QuickAction;

PomodoroSession running(const char* goal) {
  PomodoroSession session(25, 5);
  session.start(at(10, 0), goal);
  return session;
}

PomodoroSession finishedFocus(const char* goal) {
  PomodoroSession session = running(goal);
  (void)session.advance(at(10, 25), berlin);
  return session;
}

TEST(SessionQuickActions, EveryPhaseOffersItsOwnPills) {
  PomodoroSession onBreak = finishedFocus("write report");
  onBreak.startBreak(at(10, 26));
  PomodoroSession pausedWork = running("write report");
  pausedWork.pause(at(10, 5));
  PomodoroSession pausedRest = onBreak;
  pausedRest.pause(at(10, 27));
  PomodoroSession finishedBreak = onBreak;
  (void)finishedBreak.advance(at(10, 31), berlin);

  const struct {
    const char* name;
    PomodoroSession session;
    bool starter;
    bool muted;
    std::vector<QuickAction> expected;
  } rows[] = {
      {"working",
       running("write report"),
       false,
       false,
       {pauseSession, extendSession, cancelSession}},
      {"starter finished",
       finishedFocus("write report"),
       true,
       false,
       {keepGoing, finishStarter, stopForNow}},
      {"named focus finished",
       finishedFocus("write report"),
       false,
       false,
       {startBreak, extendSession, restartPomodoro, markAccomplished, dismissCompletion}},
      {"unnamed focus finished",
       finishedFocus(""),
       false,
       false,
       {startBreak, restartPomodoro, dismissCompletion}},
      {"on break", onBreak, false, false, {pauseSession, extendSession, skipBreak}},
      {"paused focus", pausedWork, false, true, {resumeSession, cancelSession}},
      {"paused break", pausedRest, false, false, {resumeSession, skipBreak}},
      {"break finished, card shown",
       finishedBreak,
       false,
       false,
       {restartPomodoro, dismissCompletion}},
      {"idle", PomodoroSession(25, 5), false, false, {vorlane, startPomodoro, mute}},
      {"idle and muted", PomodoroSession(25, 5), false, true, {vorlane, startPomodoro, unmute}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(quickActionsFor(row.session, row.starter, row.muted), row.expected) << row.name;
  }
}

class CoordinatorQuickActionsTest : public CoordinatorTest {};

TEST_F(CoordinatorQuickActionsTest, RefreshHandsTheClampedLengthTheMuteAndThePills) {
  Preferences settings;
  settings.workMinutes = 200;
  preferences->setPreferences(settings);
  buildAndStart();
  coordinator->refreshQuickActions();
  ASSERT_FALSE(presenter->contexts.empty());
  EXPECT_EQ(presenter->contexts.back().workMinutes, 90);
  EXPECT_FALSE(presenter->contexts.back().isMuted);
  EXPECT_EQ(presenter->contexts.back().actions,
            (std::vector<QuickAction>{vorlane, startPomodoro, mute}));
  coordinator->mute(MuteDuration::fifteenMinutes);
  EXPECT_TRUE(presenter->contexts.back().isMuted);
  // An expiry passing by itself changes the pills only at the next refresh.
  const auto refreshes = presenter->contexts.size();
  clock->set(at(11, 14));
  EXPECT_EQ(coordinator->availableQuickActions().back(), mute);
  EXPECT_EQ(presenter->contexts.size(), refreshes);
}

TEST_F(CoordinatorQuickActionsTest, PullingDownShowsAVisitAtOnceEvenMutedButNotDuringAnother) {
  buildAndStart();
  coordinator->mute(MuteDuration::oneHour);
  clock->set(at(11, 7));
  presenter->bubbleVisible = false;
  presenter->onPullDown();
  ASSERT_EQ(presenter->performed.size(), 1u);
  const Visit& shown = presenter->performed[0];
  EXPECT_EQ(shown.kind, Visit::Kind::manual());
  EXPECT_EQ(shown.scheduledFor, at(11, 7));
  EXPECT_EQ(shown.spokenPhrase, "It's eleven oh seven");
  EXPECT_EQ(shown.bubbleText, "11:07");
  EXPECT_TRUE(presenter->bubbleShownWith[0]);
  ASSERT_EQ(speech->spoken.size(), 1u);
  EXPECT_EQ(speech->spoken[0].text, shown.spokenPhrase);
  EXPECT_EQ(speech->spoken[0].moment, at(11, 7));

  // During another visit: nothing is queued, spoken or logged by the coordinator.
  const auto linesBefore = log.lines().size();
  coordinator->vorlaneNow();
  EXPECT_EQ(presenter->performed.size(), 1u);
  EXPECT_TRUE(coordinator->pendingVisits().empty());
  EXPECT_EQ(speech->spoken.size(), 1u);
  EXPECT_EQ(log.lines().size(), linesBefore);
}

}  // namespace
}  // namespace vorlane
