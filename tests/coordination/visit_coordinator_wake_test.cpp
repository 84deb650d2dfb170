// Screen availability, sleep and wake.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/coordination/coordinator_harness.h"
#include "tests/support/scripted_random.h"

namespace vorlane {
namespace {

class ScreenAndWakeTest : public CoordinatorTest {
 protected:
  void lock() { systemEvents->away.notify(); }
  void unlock() { systemEvents->back.notify(); }
  void wake() { systemEvents->wake.notify(); }

  std::vector<std::string> schedulingLog() const { return logMessages(log, "scheduling"); }

  // A reminder visit for a reminder that is not stored (the bubble is all that matters).
  Visit reminderVisit(Date scheduledFor, std::string text) const {
    return visit(Visit::Kind::reminder(UUID::random()), scheduledFor, std::move(text));
  }
};

TEST_F(ScreenAndWakeTest, GoingAwayActsOnceAndDropsEverythingInFlightByItsFallback) {
  clock->set(at(11, 0));
  buildAndStart();
  coordinator->enqueue(visit(Visit::Kind::hourly(), at(11, 0), "Eleven o'clock"));
  coordinator->enqueue(reminderVisit(at(11, 0), "Water the plants"));
  coordinator->enqueue(visit(Visit::Kind::hourly(), at(11, 0), "Held hour"));
  coordinator->enqueue(visit(Visit::Kind::pomodoroComplete(), at(11, 0), "Focus done"));
  ASSERT_EQ(coordinator->pendingVisits().size(), 3u);
  const int stopsBefore = speech->stops;
  const int signalsBefore = stateChanges;

  lock();
  lock();  // the screen then sleeps as well

  EXPECT_TRUE(coordinator->screenIsAway());
  EXPECT_TRUE(coordinator->pendingVisits().empty());
  EXPECT_FALSE(presenter->isPerformingVisit());
  EXPECT_EQ(speech->stops, stopsBefore + 1);
  EXPECT_EQ(presenter->invitationDismissals, 1);
  // Reminders and sessions become silent notifications; the held hour goes unannounced.
  EXPECT_EQ(notifications->posted,
            (std::vector<FakeNotificationService::Posted>{{"Vorlane", "Water the plants"},
                                                          {"Vorlane", "Focus done"}}));
  EXPECT_EQ(schedulingLog(),
            std::vector<std::string>{"screen unavailable, dropping anything in flight"});
  EXPECT_GE(stateChanges, signalsBefore + 1);

  // While away, a due reminder is a notification at once, whatever the environment says.
  coordinator->enqueue(reminderVisit(at(11, 0, 30), "Call back"));
  EXPECT_EQ(presenter->performed.size(), 1u);
  EXPECT_EQ(notifications->posted.back().body, "Call back");
}

TEST_F(ScreenAndWakeTest, AnHourThatPassedWhileAwayOrAsleepIsNeverReplayed) {
  // How the absence ends, and whether the tick after it runs first and finds the wake.
  const struct {
    const char* name;
    bool locked;
    bool wakeToldByLogind;
  } rows[] = {{"unlock", true, false}, {"wake told by logind", false, true},
              {"wake found by the tick", false, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    clock->set(at(10, 59));
    presenter = std::make_shared<FakeVisitPresenter>();
    notifications = std::make_shared<FakeNotificationService>();
    buildAndStart();
    tickAt(at(10, 59, 30));
    if (row.locked) lock();
    clock->set(at(11, 0, 40));  // back 40 s after the hour, which the tick would still show
    if (row.locked) unlock();
    if (row.wakeToldByLogind) wake();
    if (!row.locked && !row.wakeToldByLogind) systemEvents->sleptUnreported = true;
    tickAt(at(11, 0, 50));
    EXPECT_TRUE(presenter->offered.empty());
    EXPECT_TRUE(notifications->posted.empty());
    // The next hour comes as usual.
    tickAt(at(12, 0, 10));
    ASSERT_EQ(presenter->performed.size(), 1u);
    EXPECT_EQ(presenter->performed[0].scheduledFor, at(12, 0));
  }
}

TEST_F(ScreenAndWakeTest, AReturnDropsOnlyWhatIsStaleAndTheNextVisitsSpeechIsNotCut) {
  // How long ago the visit on screen was due, whether it is abandoned.
  const struct {
    double age;
    bool abandoned;
  } rows[] = {{60, false}, {120, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.age);
    clock->set(at(11, 0));
    presenter = std::make_shared<FakeVisitPresenter>();
    speech = std::make_shared<FakeSpeechService>();
    buildAndStart();
    coordinator->enqueue(visit(Visit::Kind::hourly(), at(11, 0) - row.age, "Old"));
    coordinator->enqueue(reminderVisit(at(10, 58), "Stale"));   // 120 s old: dropped
    coordinator->enqueue(reminderVisit(at(10, 59, 50), "Fresh"));  // shown next
    ASSERT_EQ(coordinator->pendingVisits().size(), 2u);

    unlock();  // a "back" while present only discards what is stale

    ASSERT_EQ(coordinator->pendingVisits().size(), row.abandoned ? 0u : 1u);
    EXPECT_EQ(speech->stops, row.abandoned ? 1 : 0);
    ASSERT_TRUE(presenter->currentVisit());
    EXPECT_EQ(presenter->currentVisit()->bubbleText, row.abandoned ? "Fresh" : "Old");
    // The fresh visit's speech starts after the abandoned one's was stopped, and goes on.
    EXPECT_EQ(speech->spoken.back().text, row.abandoned ? "Fresh" : "Old");
    EXPECT_TRUE(speech->isSpeaking());
    EXPECT_TRUE(notifications->posted.empty());
    EXPECT_FALSE(coordinator->screenIsAway());
  }
  EXPECT_TRUE(schedulingLog().empty());
}

TEST_F(ScreenAndWakeTest, AWakeReanchorsDropsStaleVisitsAndLeavesTheScreenStateAlone) {
  clock->set(at(11, 0));
  buildAndStart();
  coordinator->enqueue(visit(Visit::Kind::hourly(), at(11, 0), "Eleven"));
  lock();
  clock->set(at(11, 5));
  coordinator->enqueue(visit(Visit::Kind::hourly(), at(11, 5), "While locked"));
  wake();
  EXPECT_TRUE(coordinator->screenIsAway());
  EXPECT_EQ(presenter->invitationDismissals, 2);
  EXPECT_EQ(schedulingLog(), (std::vector<std::string>{
                                 "screen unavailable, dropping anything in flight",
                                 "woke from sleep, re-anchoring the scheduler"}));
  unlock();
  EXPECT_EQ(schedulingLog().back(), "screen available again, re-anchoring the scheduler");
  EXPECT_EQ(presenter->performed.size(), 1u);
}

TEST_F(ScreenAndWakeTest, AfterAWakeOrAReturnTheCadencesStartOver) {
  // Start-up, wake or return, and the first encouragement's next interval and pick.
  const struct {
    const char* name;
    std::uint64_t intervalWord;
    double interval;
    bool byWake;
  } rows[] = {{"wake, shortest interval", ScriptedRandomGenerator::lowest, 3000, true},
              {"return, longest interval", ScriptedRandomGenerator::highest, 6600, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    clock->set(at(10, 0));
    presenter = std::make_shared<FakeVisitPresenter>();
    auto random = std::make_shared<ScriptedRandomGenerator>(std::initializer_list<std::uint64_t>{
        ScriptedRandomGenerator::lowest, row.intervalWord, ScriptedRandomGenerator::lowest,
        ScriptedRandomGenerator::lowest});
    auto given = dependencies();
    given.random = random;
    build(std::move(given));
    coordinator->start();
    const Date back = at(10, 20);
    if (!row.byWake) lock();
    clock->set(back);
    row.byWake ? wake() : unlock();

    tickAt(back + 899);
    EXPECT_TRUE(presenter->invitations.empty());
    tickAt(back + 900);
    EXPECT_EQ(presenter->invitations, std::vector<int>{25});

    tickAt(back + row.interval - 1);
    EXPECT_TRUE(presenter->performed.empty());
    tickAt(back + row.interval);
    ASSERT_EQ(presenter->performed.size(), 1u);
    EXPECT_EQ(presenter->performed[0].kind, Visit::Kind::encouragement());
    EXPECT_TRUE(random->allUsed());
  }
}

TEST_F(ScreenAndWakeTest, APeriodThatEndedInTheSleepIsClosedSilently) {
  // Woken this long after a 25-minute focus should have ended (at 10:25): closed or left.
  const struct {
    double late;
    bool closed;
  } rows[] = {{120, true}, {90, false}, {30, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.late);
    clock->set(at(10, 0));
    presenter = std::make_shared<FakeVisitPresenter>();
    speech = std::make_shared<FakeSpeechService>();
    notifications = std::make_shared<FakeNotificationService>();
    timers.made.clear();
    buildAndStart();
    coordinator->requestNewPomodoro();
    windows.focusEditor->start("write report");
    presenter->finishVisit();
    const std::size_t visitsBefore = presenter->performed.size();
    const std::size_t spokenBefore = speech->spoken.size();
    const std::size_t logBefore = logMessages(log, "pomodoro").size();
    const std::size_t recordedBefore = historyStore->entries().size();
    const auto hasPause = [&] {
      const auto& pills = presenter->contexts.back().actions;
      return std::find(pills.begin(), pills.end(), QuickAction::pauseSession) != pills.end();
    };
    ASSERT_TRUE(hasPause());

    clock->set(at(10, 25) + row.late);
    wake();

    const auto& pomodoro = coordinator->pomodoro();
    EXPECT_EQ(pomodoro.phase().is<PomodoroSession::Phase::Idle>(), row.closed);
    EXPECT_FALSE(pomodoro.completion());
    EXPECT_EQ(historyStore->entries().size(), recordedBefore);
    EXPECT_EQ(presenter->performed.size(), visitsBefore);
    EXPECT_EQ(speech->spoken.size(), spokenBefore);
    EXPECT_TRUE(notifications->posted.empty());
    EXPECT_EQ(timers.made.at(0)->isActive(), !row.closed);
    const auto pomodoroLog = logMessages(log, "pomodoro");
    if (row.closed) {
      EXPECT_EQ(pomodoro.focus(), "");
      EXPECT_EQ(pomodoroLog.back(), "session ended while asleep, cancelling silently");
      ASSERT_FALSE(presenter->completions.empty());
      EXPECT_FALSE(presenter->completions.back());
      EXPECT_EQ(presenter->lastElapsedText, "Finished just now");
      ASSERT_FALSE(presenter->sessions.empty());
      EXPECT_FALSE(presenter->sessions.back().progress);
      // The pills are the idle ones again, not those of the focus that ended.
      EXPECT_FALSE(hasPause());
      EXPECT_EQ(presenter->contexts.back().actions, coordinator->availableQuickActions());
    } else {
      EXPECT_EQ(pomodoroLog.size(), logBefore);
      // The next tick finishes it as usual: recorded, with its completion.
      tickAt(clock->now() + 1);
      EXPECT_TRUE(coordinator->pomodoro().completion());
      EXPECT_EQ(historyStore->entries().size(), recordedBefore + 1);
    }
  }
}

TEST_F(ScreenAndWakeTest, ASessionTimerFiringBeforeTheWakeIsReportedLetsTheWakeGoFirst) {
  clock->set(at(10, 0));
  buildAndStart();
  coordinator->requestNewPomodoro();
  windows.focusEditor->start("write report");
  presenter->finishVisit();
  const std::size_t visitsBefore = presenter->performed.size();

  systemEvents->sleptUnreported = true;
  clock->set(at(11, 0));
  timers.made.at(0)->fire();

  EXPECT_TRUE(coordinator->pomodoro().phase().is<PomodoroSession::Phase::Idle>());
  EXPECT_FALSE(coordinator->pomodoro().completion());
  EXPECT_TRUE(historyStore->entries().empty());
  EXPECT_EQ(presenter->performed.size(), visitsBefore);
}

}  // namespace
}  // namespace vorlane
