// Suppression, presentation, holding and draining of scheduled visits.
#include <gtest/gtest.h>

#include "tests/coordination/coordinator/coordinator_harness.h"
#include "tests/support/visit_coordinator_peer.h"

namespace vorlane {
namespace {

using Kind = Visit::Kind;
using VisitQueueTest = CoordinatorTest;

TEST_F(VisitQueueTest, HourlyVisitIsShownWithItsBubbleAfterOneLookAtTheEnvironment) {
  buildAndStart();
  tickAt(at(10, 59, 30));
  tickAt(at(11, 0, 10));
  ASSERT_EQ(presenter->performed.size(), 1u);
  EXPECT_EQ(presenter->performed[0].kind, Kind::hourly());
  EXPECT_EQ(presenter->performed[0].scheduledFor, at(11, 0));
  EXPECT_EQ(presenter->bubbleShownWith, std::vector<bool>{true});
  EXPECT_EQ(speech->spoken.at(0).text, presenter->performed[0].spokenPhrase);
  ASSERT_EQ(environment->questions.size(), 1u);
  EXPECT_EQ(environment->questions[0].now, at(11, 0, 10));
  const int signalsWhileShown = stateChanges;  // its end refreshes the status item
  presenter->finishVisit();
  EXPECT_EQ(stateChanges, signalsWhileShown + 1);
}

TEST_F(VisitQueueTest, TwoVisitsDueTogetherAreShownInOrderWithoutASecondLook) {
  const Reminder standup(UUID::random(), "standup", VisitTrigger::oneOff(at(11, 0)), at(9, 0));
  reminders->add(standup);
  buildAndStart();
  tickAt(at(11, 0, 20));
  ASSERT_EQ(presenter->offered.size(), 2u);
  ASSERT_EQ(VisitCoordinatorPeer::delivery(*coordinator).pending().size(), 1u);
  EXPECT_EQ(speech->spoken.size(), 1u);  // nothing is spoken for the held one
  EXPECT_EQ(logMessages(log, "presentation"),
            std::vector<std::string>{"holding visit until the current one finishes"});
  EXPECT_EQ(coordinator->reminders().lastFired()->id, standup.id);

  // The camera comes on meanwhile: the held visit was judged already.
  environment->facts.cameraInUse = true;
  clock->set(at(11, 1));
  presenter->finishVisit();
  EXPECT_EQ(presenter->performed.at(1).kind, Kind::reminder(standup.id));
  EXPECT_EQ(speech->spoken.back().text, "standup");
  EXPECT_TRUE(notifications->posted.empty());
}

TEST_F(VisitQueueTest, EndOfAVisitAndEveryTickDrainTheHeldVisits) {
  buildAndStart();
  coordinator->enqueue(visit(Kind::manual(), at(10, 59), "on screen"));
  coordinator->enqueue(visit(Kind::pomodoroStart(), at(10, 59), "held"));
  EXPECT_TRUE(presenter->abandonVisit(std::nullopt));
  EXPECT_EQ(presenter->performed.back().bubbleText, "held");

  coordinator->enqueue(visit(Kind::pomodoroStart(), at(10, 59, 20), "next"));
  tickAt(at(10, 59, 30));
  EXPECT_EQ(VisitCoordinatorPeer::delivery(*coordinator).pending().size(),
            1u);  // the mascot is still busy
  // The mascot frees itself without reporting it: the next tick shows the held visit.
  presenter->forgetVisit();
  tickAt(at(10, 59, 45));
  EXPECT_EQ(presenter->performed.back().bubbleText, "next");
  EXPECT_TRUE(VisitCoordinatorPeer::delivery(*coordinator).pending().empty());
}

}  // namespace
}  // namespace vorlane
