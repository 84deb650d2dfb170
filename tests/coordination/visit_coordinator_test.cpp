// Construction, start-up, preferences and the tick loop.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/coordination/coordinator_harness.h"

namespace vorlane {
namespace {

class VisitCoordinatorTest : public CoordinatorTest {
 protected:
  FocusCheckpoint checkpoint() const {
    return {.session = {.sessionID = UUID::random(),
                        .focus = "write report",
                        .remaining = 600,
                        .elapsed = 900,
                        .wasCounted = false},
            .nextStep = "check the figures",
            .isStarter = true,
            .priorityID = UUID::random()};
  }
};

TEST_F(VisitCoordinatorTest, RefusesAMissingDependency) {
  auto noSpeech = dependencies();
  noSpeech.speech = nullptr;
  EXPECT_THROW(VisitCoordinator::create(std::move(noSpeech)), std::invalid_argument);
  auto noEnvironment = dependencies();
  noEnvironment.environment = nullptr;
  EXPECT_THROW(VisitCoordinator::create(std::move(noEnvironment)), std::invalid_argument);
}

TEST_F(VisitCoordinatorTest, SessionLengthsComeFromTheSettingsClamped) {
  const struct {
    std::int64_t work, rest;
    double workSeconds, restSeconds;
  } rows[] = {{25, 5, 1500, 300}, {0, 0, 60, 60}, {500, 45, 5400, 1800}, {-3, 30, 60, 1800}};
  for (const auto& row : rows) {
    Preferences settings;
    settings.workMinutes = row.work;
    settings.breakMinutes = row.rest;
    preferences->setPreferences(settings);
    build();
    EXPECT_EQ(coordinator->pomodoro().workDuration(), row.workSeconds) << row.work;
    EXPECT_EQ(coordinator->pomodoro().breakDuration(), row.restSeconds) << row.rest;
  }
}

TEST_F(VisitCoordinatorTest, ValidCheckpointIsRestoredPausedWithItsNextStep) {
  const FocusCheckpoint saved = checkpoint();
  FocusRecoveryStore(&records).save(saved);
  build();
  const auto* paused = coordinator->pomodoro().phase().as<PomodoroSession::Phase::Paused>();
  ASSERT_NE(paused, nullptr);
  EXPECT_EQ(coordinator->pomodoro().focus(), "write report");
  EXPECT_EQ(coordinator->nextStep(), "check the figures");
  EXPECT_TRUE(coordinator->isStarterFocus());
  EXPECT_EQ(coordinator->activePriorityID(), saved.priorityID);
}

TEST_F(VisitCoordinatorTest, UnreadableCheckpointLeavesTheSessionIdleAndTheRecordKept) {
  FocusRecoveryStore(&records).save(checkpoint());
  const auto bytes = records.rawBytes(FocusRecoveryStore::key);
  records.makeUnreadable(FocusRecoveryStore::key);
  build();
  EXPECT_TRUE(coordinator->pomodoro().phase().is<PomodoroSession::Phase::Idle>());
  EXPECT_EQ(coordinator->nextStep(), "");
  EXPECT_FALSE(coordinator->activePriorityID().has_value());
  EXPECT_EQ(records.rawBytes(FocusRecoveryStore::key), bytes);
}

TEST_F(VisitCoordinatorTest, StartWiresTheTickAsksForNotificationsAndAppliesTheSettings) {
  Preferences settings;
  settings.preferredScreenID = "DP-2";
  preferences->setPreferences(settings);
  build();
  EXPECT_FALSE(ticker->running);
  coordinator->start();
  EXPECT_EQ(ticker->starts, 1);
  EXPECT_EQ(notifications->authorizationRequests, 1);
  EXPECT_EQ(presenter->screenID, std::optional<std::string>("DP-2"));
  EXPECT_EQ(presenter->presenceApplications, 1);
  EXPECT_EQ(stateChanges, 1);
}

TEST_F(VisitCoordinatorTest, NothingDueBeforeStartIsShownAndTheFirstTickOnlyLooksForward) {
  clock->set(at(11, 0, 20));  // the hour passed before start-up
  buildAndStart();
  tickAt(at(11, 0, 30));
  EXPECT_TRUE(presenter->offered.empty());
  tickAt(at(12, 0, 5));
  ASSERT_EQ(presenter->performed.size(), 1u);
  EXPECT_EQ(presenter->performed[0].scheduledFor, at(12, 0));
}

TEST_F(VisitCoordinatorTest, SettingsChangedBetweenTicksApplyToTheNext) {
  buildAndStart();
  Preferences settings = preferences->preferences();
  settings.activeStartHour = 13;  // 11:00 is now outside the active hours
  settings.workMinutes = 50;
  settings.preferredScreenID = "HDMI-1";
  preferences->setPreferences(settings);
  coordinator->applyPreferences();
  EXPECT_EQ(coordinator->pomodoro().workDuration(), 3000);
  EXPECT_EQ(presenter->screenID, std::optional<std::string>("HDMI-1"));
  EXPECT_EQ(presenter->presenceApplications, 2);

  tickAt(at(11, 0, 10));
  EXPECT_TRUE(presenter->offered.empty());

  environment->facts.activeAppId = "org.example.slides";
  settings.activeStartHour = 9;
  settings.blockedAppIds.insert("org.example.slides");
  preferences->setPreferences(settings);
  tickAt(at(12, 0, 10));
  EXPECT_TRUE(presenter->offered.empty());
  ASSERT_EQ(notifications->posted.size(), 1u);
  EXPECT_EQ(notifications->posted[0].title, "Vorlane");
}

TEST_F(VisitCoordinatorTest, EveryTickHandsOverTheRemindersAndSignals) {
  buildAndStart();
  const int before = stateChanges;
  // A reminder added after start-up is seen by the next tick.
  reminders->add(Reminder(UUID::random(), "tea", VisitTrigger::oneOff(at(10, 59, 40)), at(10, 0)));
  tickAt(at(10, 59, 50));
  ASSERT_EQ(presenter->performed.size(), 1u);
  EXPECT_EQ(presenter->performed[0].bubbleText, "tea");
  EXPECT_EQ(stateChanges, before + 1);
}

TEST_F(VisitCoordinatorTest, ExpiredRemindersStayOneHundredFiftySecondsThenGo) {
  const Reminder tea(UUID::random(), "tea", VisitTrigger::oneOff(at(10, 59, 40)), at(10, 0));
  reminders->add(tea);
  buildAndStart();
  const struct {
    Date tick;
    std::size_t left;
  } rows[] = {{at(10, 59, 50), 1}, {at(11, 2, 10), 1}, {at(11, 2, 10.5), 0}};
  for (const auto& row : rows) {
    tickAt(row.tick);
    EXPECT_EQ(reminders->count(), row.left) << row.tick.timeIntervalSinceReferenceDate();
  }
}

TEST_F(VisitCoordinatorTest, HoursMissedAsleepAreLoggedNotShown) {
  buildAndStart();
  tickAt(at(10, 59, 30));
  tickAt(at(13, 0, 40));  // woke after 11:00, 12:00 and 13:00 passed; 13:00 is 40 s late
  ASSERT_EQ(presenter->performed.size(), 1u);
  EXPECT_EQ(presenter->performed[0].scheduledFor, at(13, 0));
  EXPECT_EQ(logMessages(log, "scheduling"),
            (std::vector<std::string>{
                "skipping stale visit for 2026-03-10 10:00:00 +0000, machine was probably asleep",
                "skipping stale visit for 2026-03-10 11:00:00 +0000, machine was probably asleep"}));
}

TEST_F(VisitCoordinatorTest, CallbacksHoldTheCoordinatorWeakly) {
  buildAndStart();
  coordinator->enqueue(visit(Visit::Kind::manual(), at(10, 59)));
  const std::weak_ptr<VisitCoordinator> weak = coordinator;
  coordinator.reset();
  EXPECT_TRUE(weak.expired());
  const int signals = stateChanges;
  ticker->fire();
  presenter->finishVisit();
  EXPECT_EQ(stateChanges, signals);
  EXPECT_EQ(presenter->performed.size(), 1u);
}

// Marking a history entry accomplished also marks its daily priority: saved first, shown
// only once saved, and a failure goes back to the history store with nothing changed.
TEST_F(VisitCoordinatorTest, AccomplishedFocusMarksItsPriorityOnlyOnceSaved) {
  const struct {
    const char* name;
    bool linkPriority;
    bool coordinatorGone;
    bool savesFail;
    bool priorityMarked;
    bool throws;
  } rows[] = {
      {"linked priority is marked", true, false, false, true, false},
      {"no linked priority", false, false, false, false, false},
      {"coordinator gone", true, true, false, false, false},
      {"save fails", true, false, true, false, true},
  };
  for (const auto& row : rows) {
    records.setFailing(false);
    static_cast<void>(records.remove(FocusHistoryStore::key));
    static_cast<void>(records.remove(DailyPrioritiesStore::key));
    build();
    UUID priority;
    prioritiesStore->apply(
        [&](DailyPriorities& plan) { priority = plan.add("Ship the release", at(9, 0), berlin); });
    const PomodoroSession::Completion done{PomodoroSession::Kind::work, 1500, at(10, 30),
                                           "release notes", UUID::random()};
    historyStore->record(done, row.linkPriority ? std::optional<UUID>(priority) : std::nullopt);
    if (row.coordinatorGone) coordinator.reset();
    records.setFailing(row.savesFail);

    if (row.throws) {
      EXPECT_ANY_THROW(historyStore->markAccomplished(done.sessionID, at(10, 45))) << row.name;
    } else {
      EXPECT_NO_THROW(historyStore->markAccomplished(done.sessionID, at(10, 45))) << row.name;
    }
    const auto& item = prioritiesStore->plan().items().at(0);
    EXPECT_EQ(item.accomplishedAt.has_value(), row.priorityMarked) << row.name;
    EXPECT_EQ(historyStore->entries().at(0).accomplishedAt.has_value(), !row.throws) << row.name;
  }
}

}  // namespace
}  // namespace vorlane
