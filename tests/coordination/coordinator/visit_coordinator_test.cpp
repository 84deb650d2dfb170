// Construction, start-up, preferences and the tick loop.
#include <gtest/gtest.h>

#include "tests/coordination/coordinator/coordinator_harness.h"
#include "tests/support/visit_coordinator_peer.h"

namespace vorlane {
namespace {

using CoordinatorSetUpTest = CoordinatorTest;

TEST_F(CoordinatorSetUpTest, StartAndEverySettingsChangeApplyAtOnce) {
  preferences->setPreferences(Preferences({.preferredScreenID = "DP-2"}));
  buildAndStart();
  EXPECT_TRUE(ticker->running);
  EXPECT_EQ(notifications->authorizationRequests, 1);
  EXPECT_EQ(presenter->screenID, std::optional<std::string>("DP-2"));
  change([](Preferences& p) {
    p.activeStartHour = 13;  // 11:00 is now outside the active hours
    p.workMinutes = 50;
    p.preferredScreenID = "HDMI-1";
  });
  // The store's change reaches the coordinator by itself, once.
  EXPECT_EQ(coordinator->focus().pomodoro().workDuration(), 3000);
  EXPECT_EQ(presenter->screenID, std::optional<std::string>("HDMI-1"));
  EXPECT_EQ(presenter->presenceApplications, 2);  // once at start, once now
  // An equal record is no change: nothing is applied again.
  const int signals = stateChanges;
  preferences->setPreferences(preferences->preferences());
  EXPECT_EQ(presenter->presenceApplications, 2);
  EXPECT_EQ(stateChanges, signals);
  tickAt(at(11, 0, 10));
  EXPECT_TRUE(presenter->offered.empty());

  // A blocked app in front turns the hour into a notification from the next tick on.
  environment->facts.activeAppID = "org.example.slides";
  change([](Preferences& p) {
    p.activeStartHour = 9;
    p.blockedAppIDs.insert("org.example.slides");
  });
  tickAt(at(12, 0, 10));
  EXPECT_TRUE(presenter->offered.empty());
  EXPECT_EQ(notifications->posted.size(), 1u);
}

// Re-applying the presence takes down an idle invitation on show, so a change the mascot's
// presence does not read (the speaking rate, a work length) leaves it alone.
TEST_F(CoordinatorSetUpTest, OnlyAPresenceChangeReappliesThePresence) {
  buildAndStart();
  ASSERT_EQ(presenter->presenceApplications, 1);
  const struct {
    const char* name;
    std::function<void(Preferences&)> edit;
    int applications;
  } rows[] = {
      {"speaking rate", [](Preferences& p) { p.speechRate = 0.8f; }, 1},
      {"work length", [](Preferences& p) { p.workMinutes = 40; }, 1},
      {"presence mode", [](Preferences& p) { p.presenceMode = PresenceMode::hidden; }, 2},
      {"click-through", [](Preferences& p) { p.mascotClickThrough = true; }, 3},
      {"voice", [](Preferences& p) { p.voiceIdentifier = "flite:slt"; }, 3},
      {"clock", [](Preferences& p) { p.showCurrentTime = true; }, 4},
  };
  for (const auto& row : rows) {
    const int signals = stateChanges;
    change(row.edit);
    EXPECT_EQ(presenter->presenceApplications, row.applications) << row.name;
    EXPECT_EQ(stateChanges, signals + 1) << row.name;  // the rest still follows
  }
  EXPECT_EQ(coordinator->focus().pomodoro().workDuration(), 2400);
}

// Each follower behind the coordinator hears only of its own fields, once: a step of the
// placement slider moves the mascot and nothing else; the login item and the welcome are the
// shell's; the pills hear of the work length.
TEST_F(CoordinatorSetUpTest, EachFollowerHearsOnlyOfItsOwnFields) {
  buildAndStart();
  const struct {
    const char* name;
    std::function<void(Preferences&)> edit;
    int placements, presence, contexts, signals;
  } rows[] = {
      {"placement",
       [](Preferences& p) { p.mascotPlacements.insert_or_assign("DP-1", MascotPlacement(0.3, 0)); },
       1, 0, 0, 0},
      {"login item", [](Preferences& p) { p.launchAtLogin = true; }, 0, 0, 0, 0},
      {"welcome", [](Preferences& p) { p.hasCompletedOnboarding = true; }, 0, 0, 0, 0},
      {"speaking rate", [](Preferences& p) { p.speechRate = 0.8f; }, 0, 0, 0, 1},
      {"work length", [](Preferences& p) { p.workMinutes = 40; }, 0, 0, 1, 1},
      {"presence mode", [](Preferences& p) { p.presenceMode = PresenceMode::hidden; }, 0, 1, 1, 1},
  };
  for (const auto& row : rows) {
    const int placements = presenter->placementApplications;
    const int presence = presenter->presenceApplications;
    const size_t contexts = presenter->contexts.size();
    const int signals = stateChanges;
    change(row.edit);
    EXPECT_EQ(presenter->placementApplications, placements + row.placements) << row.name;
    EXPECT_EQ(presenter->presenceApplications, presence + row.presence) << row.name;
    EXPECT_EQ(presenter->contexts.size(), contexts + row.contexts) << row.name;
    EXPECT_EQ(stateChanges, signals + row.signals) << row.name;
  }
  EXPECT_EQ(presenter->contexts.back().workMinutes, 40);
}

TEST_F(CoordinatorSetUpTest, NothingDueBeforeStartIsShownAndHoursMissedAsleepAreLogged) {
  clock->set(at(11, 0, 20));  // the hour passed before start-up
  buildAndStart();
  tickAt(at(11, 0, 30));
  EXPECT_TRUE(presenter->offered.empty());
  tickAt(at(14, 0, 40));  // woke after 12:00, 13:00 and 14:00 passed; 14:00 is 40 s late
  ASSERT_EQ(presenter->performed.size(), 1u);
  EXPECT_EQ(presenter->performed[0].scheduledFor, at(14, 0));
  EXPECT_EQ(
      logMessages(log, "scheduling"),
      (std::vector<std::string>{
          "skipping stale visit for 2026-03-10 11:00:00 +0000, machine was probably asleep",
          "skipping stale visit for 2026-03-10 12:00:00 +0000, machine was probably asleep"}));
}

TEST_F(CoordinatorSetUpTest, RemindersAddedAnyTimeFireAndStayOneHundredFiftySecondsAfterward) {
  buildAndStart();
  reminders->add(Reminder(UUID::random(), "tea", VisitTrigger::oneOff(at(10, 59, 40)), at(10, 0)));
  tickAt(at(10, 59, 50));
  EXPECT_EQ(presenter->performed.at(0).bubbleText, "tea");
  const struct {
    Date tick;
    std::size_t left;
  } rows[] = {{at(11, 2, 10), 1}, {at(11, 2, 10.5), 0}};
  for (const auto& row : rows) {
    tickAt(row.tick);
    EXPECT_EQ(reminders->count(), row.left) << row.tick.timeIntervalSinceReferenceDate();
  }
}

// The parts hear of the coordinator only weakly, so it goes when its owner lets go even
// while a part is busy, and its hot keys are given back with it.
TEST_F(CoordinatorSetUpTest, TheCoordinatorGoesWithItsOwnerWhileItsPartsAreBusy) {
  buildAndStart();
  startFocus();
  coordinator->encourageNow();  // on screen, its end still to come
  coordinator->enqueue(visit(Visit::Kind::hourly(), at(10, 59)));  // held behind it
  coordinator->mute(MuteDuration::fifteenMinutes);
  ASSERT_EQ(VisitCoordinatorPeer::delivery(*coordinator).pending().size(), 1u);
  const std::weak_ptr<VisitCoordinator> weak = coordinator;
  const int signals = stateChanges;
  coordinator.reset();
  EXPECT_TRUE(weak.expired());
  EXPECT_FALSE(hotKeys->isRegistered(muteHotKey.identifier));
  EXPECT_FALSE(hotKeys->isRegistered(quickCommandHotKey.identifier));
  const auto shown = presenter->performed.size();
  presenter->finishVisit();
  tickAt(at(11, 0));
  EXPECT_EQ(presenter->performed.size(), shown) << "the held visit went with it";
  EXPECT_EQ(stateChanges, signals);
}

}  // namespace
}  // namespace vorlane
