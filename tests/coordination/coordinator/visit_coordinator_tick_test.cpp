// What one tick costs: many visits due together, the reminders handed to the scheduler, and
// a clean-up of expired reminders that the store keeps refusing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/coordination/coordinator/coordinator_harness.h"
#include "tests/support/visit_coordinator_peer.h"

namespace vorlane {
namespace {

using Kind = Visit::Kind;
using TickTest = CoordinatorTest;

Reminder oneOffAt(Date due, const std::string& phrase) {
  return Reminder(UUID::random(), phrase, VisitTrigger::oneOff(due), at(9, 0));
}

// Thirty reminders set for 11:00 with the hourly visit: each one refused while the mascot is
// busy used to refresh the status, look at the desktop and copy the list again.
TEST_F(TickTest, VisitsDueTogetherShareOneLookOneSignalAndNoCopyOfTheList) {
  std::vector<Reminder> due;
  for (int i = 0; i < 30; ++i) due.push_back(oneOffAt(at(11, 0), "water " + std::to_string(i)));
  for (const Reminder& reminder : due) reminders->add(reminder);
  reminders->add(oneOffAt(at(15, 0), "call"));
  buildAndStart();
  // As the status item's icon, which reads the whole status at every signal.
  coordinator->onStateChanged = [this] {
    ++stateChanges;
    (void)coordinator->status(0);
  };
  tickAt(at(10, 59, 30));
  const auto looks = environment->questions.size();
  const int signals = stateChanges;
  const int copies = reminders->copies;

  tickAt(at(11, 0, 10));
  ASSERT_EQ(presenter->offered.size(), 31u);
  EXPECT_EQ(presenter->offered[0].kind, Kind::hourly());
  EXPECT_EQ(presenter->offered[30].kind, Kind::reminder(due.back().id));
  EXPECT_EQ(VisitCoordinatorPeer::delivery(*coordinator).pending().size(), 30u);
  EXPECT_EQ(environment->questions.size(), looks + 1);
  EXPECT_EQ(stateChanges, signals + 1);
  EXPECT_EQ(reminders->copies, copies) << "nothing changed, so nothing to copy";
  // The last visit offered is the one to snooze, found without a copy.
  EXPECT_EQ(coordinator->reminders().lastFired()->id, due.back().id);
  EXPECT_EQ(coordinator->status(0).nextVisit, "next visit at 12:00");

  // The next tick looks again: the camera now on holds back the next reminder.
  reminders->add(oneOffAt(at(11, 1), "stretch"));
  environment->facts.cameraInUse = true;
  tickAt(at(11, 1, 10));
  EXPECT_EQ(environment->questions.size(), looks + 2);
  EXPECT_EQ(presenter->offered.size(), 31u);
  EXPECT_EQ(notifications->posted.back().body, "stretch");
}

TEST_F(TickTest, TheSchedulerIsHandedTheRemindersOnlyWhenTheyChange) {
  buildAndStart();
  const int copies = reminders->copies;
  for (const Date tick : {at(10, 59, 30), at(11, 0, 10), at(11, 0, 40)}) tickAt(tick);
  presenter->finishVisit();  // the hourly visit
  EXPECT_EQ(reminders->copies, copies) << "a copy per tick";

  // A change the coordinator makes is handed over at once, one made to the store directly
  // at the next tick; either is seen when it falls due.
  coordinator->reminders().add("in 1m tea");
  EXPECT_EQ(reminders->copies, copies + 1);
  reminders->add(oneOffAt(at(11, 1, 30), "stretch"));
  tickAt(at(11, 1, 10));
  EXPECT_EQ(reminders->copies, copies + 2);
  tickAt(at(11, 1, 40));
  ASSERT_EQ(presenter->offered.size(), 3u);
  EXPECT_EQ(presenter->offered[1].bubbleText, "stretch");
  EXPECT_EQ(presenter->offered[2].bubbleText, "tea");
  EXPECT_EQ(reminders->copies, copies + 2);
}

// Regression: with the data folder read-only and one reminder expired, the clean-up was
// tried and logged at every tick, for ever.
TEST_F(TickTest, ARefusedCleanUpIsTriedAgainLaterAndLoggedOnceUntilASaveGoesThrough) {
  reminders->add(oneOffAt(at(10, 0), "gone"));
  reminders->failWith(LocalJSONDocumentFailure::notWritable);
  buildAndStart();
  const std::string refused =
      "could not forget expired reminders, keeping them and trying again later: " +
      std::string(describe(LocalJSONDocumentFailure::notWritable));
  const auto refusals = [this] {
    std::vector<std::string> lines = logMessages(log, "reminders");
    std::erase_if(lines, [](const std::string& line) { return line.starts_with("added"); });
    return lines;
  };

  // Tried at the first tick, then after waits of one, two, four, eight ticks...
  std::vector<int> triedAt;
  for (int tick = 1; tick <= 40; ++tick) {
    const int before = reminders->refused;
    tickAt(at(10, 59) + 30.0 * tick);
    if (reminders->refused > before) triedAt.push_back(tick);
  }
  EXPECT_EQ(triedAt, (std::vector<int>{1, 2, 4, 8, 16, 32}));
  EXPECT_EQ(refusals(), std::vector<std::string>{refused});

  // A save that goes through changes the list: the clean-up is tried at the next tick, and a
  // refusal then is a new one.
  reminders->refusal = nullptr;
  coordinator->reminders().add("in 30m water");
  reminders->failWith(LocalJSONDocumentFailure::notWritable);
  const int before = reminders->refused;
  tickAt(at(10, 59) + 30.0 * 41);
  EXPECT_EQ(reminders->refused, before + 1);
  EXPECT_EQ(refusals(), (std::vector<std::string>{refused, refused}));

  // Once the store takes it, the reminder goes at the next try and nothing more is logged.
  reminders->refusal = nullptr;
  tickAt(at(10, 59) + 30.0 * 42);
  EXPECT_EQ(reminders->count(), 1u);
  EXPECT_EQ(reminders->reminders()[0].phrase, "water");
  EXPECT_EQ(refusals().size(), 2u);
}

}  // namespace
}  // namespace vorlane
