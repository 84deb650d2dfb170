// Screen availability, sleep and wake.
#include <gtest/gtest.h>

#include "tests/coordination/coordinator/coordinator_harness.h"
#include "tests/support/scripted_random.h"
#include "tests/support/visit_coordinator_peer.h"

namespace vorlane {
namespace {

class ScreenAndWakeTest : public CoordinatorTest {
 protected:
  void lock() { systemEvents->away.notify(); }
  void unlock() { systemEvents->back.notify(); }
  void wake() { systemEvents->wake.notify(); }
  std::vector<std::string> schedulingLog() const { return logMessages(log, "scheduling"); }
  Visit reminderVisit(Date scheduledFor, std::string text) const {
    return visit(Visit::Kind::reminder(UUID::random()), scheduledFor, std::move(text));
  }
};

TEST_F(ScreenAndWakeTest, GoingAwayActsOnceAndDropsEverythingInFlightByItsFallback) {
  fresh(at(11, 0));
  coordinator->enqueue(visit(Visit::Kind::hourly(), at(11, 0), "Eleven o'clock"));
  coordinator->enqueue(reminderVisit(at(11, 0), "Water the plants"));
  coordinator->enqueue(visit(Visit::Kind::hourly(), at(11, 0), "Held hour"));
  coordinator->enqueue(visit(Visit::Kind::pomodoroComplete(), at(11, 0), "Focus done"));
  lock();
  lock();  // the screen then sleeps as well
  EXPECT_TRUE(VisitCoordinatorPeer::delivery(*coordinator).pending().empty());
  EXPECT_FALSE(presenter->isPerformingVisit());
  EXPECT_EQ(speech->stops, 1);
  EXPECT_EQ(presenter->invitationDismissals, 1);
  // Reminders and sessions become silent notifications; the held hour goes unannounced.
  EXPECT_EQ(notifications->posted,
            (std::vector<FakeNotificationService::Posted>{{"Vorlane", "Water the plants"},
                                                          {"Vorlane", "Focus done"}}));
  // While away, a due reminder is a notification at once, whatever the environment says.
  coordinator->enqueue(reminderVisit(at(11, 0, 30), "Call back"));
  EXPECT_EQ(presenter->performed.size(), 1u);
  EXPECT_EQ(notifications->posted.back().body, "Call back");
  // A wake re-anchors but leaves the screen away; only its return shows it again.
  wake();
  EXPECT_TRUE(VisitCoordinatorPeer::delivery(*coordinator).screenIsAway());
  unlock();
  EXPECT_FALSE(VisitCoordinatorPeer::delivery(*coordinator).screenIsAway());
  EXPECT_EQ(schedulingLog(),
            (std::vector<std::string>{"screen unavailable, dropping anything in flight",
                                      "woke from sleep, re-anchoring the scheduler",
                                      "screen available again, re-anchoring the scheduler"}));
}

TEST_F(ScreenAndWakeTest, AnHourThatPassedWhileAwayOrAsleepIsNeverReplayed) {
  // How the absence ends: unlock, a wake told by logind, or one the tick finds first.
  for (const int how : {0, 1, 2}) {
    SCOPED_TRACE(how);
    fresh();
    tickAt(at(10, 59, 30));
    if (how == 0) lock();
    clock->set(at(11, 0, 40));  // back 40 s after the hour, which the tick would still show
    if (how == 0) unlock();
    if (how == 1) wake();
    systemEvents->sleptUnreported = how == 2;
    tickAt(at(11, 0, 50));
    EXPECT_TRUE(presenter->offered.empty());
    EXPECT_TRUE(notifications->posted.empty());
    tickAt(at(12, 0, 10));  // the next hour comes as usual
    EXPECT_EQ(presenter->performed.at(0).scheduledFor, at(12, 0));
  }
}

TEST_F(ScreenAndWakeTest, AReturnDropsOnlyWhatIsStaleAndTheNextVisitsSpeechIsNotCut) {
  // How long ago the visit on screen was due, whether it is abandoned.
  for (const auto& [age, abandoned] : {std::pair{60.0, false}, std::pair{120.0, true}}) {
    SCOPED_TRACE(age);
    fresh(at(11, 0));
    coordinator->enqueue(visit(Visit::Kind::hourly(), at(11, 0) - age, "Old"));
    coordinator->enqueue(reminderVisit(at(10, 58), "Stale"));
    coordinator->enqueue(reminderVisit(at(10, 59, 50), "Fresh"));
    unlock();  // a "back" while present only discards what is stale
    EXPECT_EQ(VisitCoordinatorPeer::delivery(*coordinator).pending().size(), abandoned ? 0u : 1u);
    EXPECT_EQ(speech->stops, abandoned ? 1 : 0);
    EXPECT_EQ(presenter->currentVisit()->bubbleText, abandoned ? "Fresh" : "Old");
    // The fresh visit's speech starts after the abandoned one's was stopped, and goes on.
    EXPECT_EQ(speech->spoken.back().text, abandoned ? "Fresh" : "Old");
    EXPECT_TRUE(speech->isSpeaking());
    EXPECT_TRUE(notifications->posted.empty());
  }
  EXPECT_TRUE(schedulingLog().empty());
}

TEST_F(ScreenAndWakeTest, AfterAWakeOrAReturnTheCadencesStartOver) {
  // Start-up, wake or return, and the first encouragement's next interval and pick.
  for (const bool byWake : {true, false}) {
    SCOPED_TRACE(byWake);
    constexpr auto low = ScriptedRandomGenerator::lowest;
    const auto random =
        std::make_shared<ScriptedRandomGenerator>(std::initializer_list<std::uint64_t>{
            low, byWake ? low : ScriptedRandomGenerator::highest, low, low});
    fresh(at(10, 0), [&](auto& given) { given.random = random; });
    const Date back = at(10, 20);
    if (!byWake) lock();
    clock->set(back);
    byWake ? wake() : unlock();
    tickAt(back + 899);
    EXPECT_TRUE(presenter->invitations.empty());
    tickAt(back + 900);
    EXPECT_EQ(presenter->invitations, std::vector<int>{25});
    const double seconds = byWake ? 3000 : 6600;
    tickAt(back + seconds - 1);
    EXPECT_TRUE(presenter->performed.empty());
    tickAt(back + seconds);
    EXPECT_EQ(presenter->performed.at(0).kind, Visit::Kind::encouragement());
    EXPECT_TRUE(random->allUsed());
  }
}

// A period whose end passed in the sleep closes without a record, a visit or a
// notification, also when the session timer fires before the wake is reported.
TEST_F(ScreenAndWakeTest, APeriodThatEndedInTheSleepIsClosedSilently) {
  const struct {
    double late;  // after 10:25, when the 25-minute focus should have ended
    bool closed, timerFirst;
  } rows[] = {{120, true, false}, {90, false, false}, {30, false, false}, {3600, true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.late);
    static_cast<void>(records.remove(RecordFocusHistoryStore::key));
    fresh(at(10, 0));
    startFocus();
    const auto visitsBefore = presenter->performed.size();
    const auto spokenBefore = speech->spoken.size();
    clock->set(at(10, 25) + row.late);
    if (row.timerFirst) {
      systemEvents->sleptUnreported = true;
      timer().fire();
    } else {
      wake();
    }
    EXPECT_EQ(phase(), row.closed ? "idle" : "working");
    EXPECT_FALSE(coordinator->focus().pomodoro().completion());
    EXPECT_TRUE(historyStore->entries().empty());
    EXPECT_EQ(presenter->performed.size(), visitsBefore);
    EXPECT_EQ(speech->spoken.size(), spokenBefore);
    EXPECT_TRUE(notifications->posted.empty());
    if (row.closed) {
      EXPECT_EQ(logMessages(log, "pomodoro").back(),
                "session ended while asleep, cancelling silently");
      EXPECT_FALSE(timer().isActive());
      EXPECT_FALSE(presenter->sessions.back().progress);
      // The pills are the idle ones again, not those of the focus that ended.
      EXPECT_EQ(presenter->contexts.back().actions.front(), QuickAction::vorlane);
    } else {
      tickAt(clock->now() + 1);  // the next tick finishes it as usual
      EXPECT_TRUE(coordinator->focus().pomodoro().completion());
      EXPECT_EQ(historyStore->entries().size(), 1u);
    }
  }
}

}  // namespace
}  // namespace vorlane
