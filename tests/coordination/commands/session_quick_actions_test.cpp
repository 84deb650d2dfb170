// Which pills each phase of a focus session offers, and the visit on demand.
#include "coordination/commands/session_quick_actions.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/coordination/coordinator/coordinator_harness.h"
#include "tests/support/visit_coordinator_peer.h"

namespace vorlane {
namespace {

using enum QuickAction;

TEST(SessionQuickActions, EveryPhaseOffersItsOwnPills) {
  const auto started = [](const char* goal) {
    PomodoroSession session(25, 5);
    session.start(at(10, 0), goal);
    return session;
  };
  const auto finished = [&](const char* goal) {
    PomodoroSession session = started(goal);
    (void)session.advance(at(10, 25), berlin);
    return session;
  };
  PomodoroSession onBreak = finished("write report");
  onBreak.startBreak(at(10, 26));
  PomodoroSession pausedWork = started("write report");
  pausedWork.pause(at(10, 5));
  PomodoroSession pausedRest = onBreak;
  pausedRest.pause(at(10, 27));
  PomodoroSession breakDone = onBreak;
  (void)breakDone.advance(at(10, 31), berlin);
  const PomodoroSession idle(25, 5);
  const struct {
    const char* name;
    PomodoroSession session;
    bool starter, muted;
    std::vector<QuickAction> expected;
  } rows[] = {
      {"working",
       started("write report"),
       false,
       false,
       {pauseSession, extendSession, cancelSession}},
      {"starter finished",
       finished("write report"),
       true,
       false,
       {keepGoing, finishStarter, stopForNow}},
      {"named focus finished",
       finished("write report"),
       false,
       false,
       {startBreak, extendSession, restartPomodoro, markAccomplished, dismissCompletion}},
      {"unnamed focus finished",
       finished(""),
       false,
       false,
       {startBreak, restartPomodoro, dismissCompletion}},
      {"on break", onBreak, false, false, {pauseSession, extendSession, skipBreak}},
      {"paused focus", pausedWork, false, true, {resumeSession, cancelSession}},
      {"paused break", pausedRest, false, false, {resumeSession, skipBreak}},
      {"break finished, card shown", breakDone, false, false, {restartPomodoro, dismissCompletion}},
      {"idle", idle, false, false, {vorlane, startPomodoro, mute}},
      {"idle and muted", idle, false, true, {vorlane, startPomodoro, unmute}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(quickActionsFor(row.session, row.starter, row.muted), row.expected) << row.name;
  }
}

using CoordinatorQuickActionsTest = CoordinatorTest;

TEST_F(CoordinatorQuickActionsTest, PullingDownShowsAVisitAtOnceEvenMutedButNotDuringAnother) {
  buildAndStart();
  coordinator->mute(MuteDuration::oneHour);
  clock->set(at(11, 7));
  presenter->onPullDown();
  ASSERT_EQ(presenter->performed.size(), 1u);
  const Visit& shown = presenter->performed[0];
  EXPECT_EQ(shown.kind, Visit::Kind::manual());
  EXPECT_EQ(shown.spokenPhrase, "It's eleven oh seven");
  EXPECT_EQ(shown.bubbleText, "11:07");
  EXPECT_TRUE(presenter->bubbleShownWith[0]);
  EXPECT_EQ(speech->spoken[0].moment, at(11, 7));
  // During another visit: nothing is queued, spoken or logged.
  const auto linesBefore = log.lines().size();
  coordinator->vorlaneNow();
  EXPECT_EQ(presenter->performed.size(), 1u);
  EXPECT_TRUE(VisitCoordinatorPeer::delivery(*coordinator).pending().empty());
  EXPECT_EQ(speech->spoken.size(), 1u);
  EXPECT_EQ(log.lines().size(), linesBefore);
}

}  // namespace
}  // namespace vorlane
