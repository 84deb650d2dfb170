// Suppression, presentation, holding and draining of scheduled visits.
#include <gtest/gtest.h>

#include "tests/coordination/coordinator_harness.h"

namespace vorlane {
namespace {

using Case = Visit::Kind::Case;

class VisitQueueTest : public CoordinatorTest {};

TEST_F(VisitQueueTest, HourlyVisitIsShownWithItsBubbleAndSpokenWithItsMoment) {
  buildAndStart();
  tickAt(at(10, 59, 30));
  ASSERT_TRUE(presenter->performed.empty());

  const int signalsBefore = stateChanges;
  tickAt(at(11, 0, 10));
  ASSERT_EQ(presenter->performed.size(), 1u);
  const Visit& shown = presenter->performed[0];
  EXPECT_EQ(shown.kind.value(), Case::hourly);
  EXPECT_EQ(shown.scheduledFor, at(11, 0));
  EXPECT_EQ(presenter->bubbleShownWith, std::vector<bool>{true});
  ASSERT_EQ(speech->spoken.size(), 1u);
  EXPECT_FALSE(shown.spokenPhrase.empty());
  EXPECT_EQ(speech->spoken[0].text, shown.spokenPhrase);
  EXPECT_EQ(speech->spoken[0].moment, std::optional<Date>(at(11, 0)));
  EXPECT_FALSE(speech->spoken[0].hasCompletion);
  EXPECT_GT(stateChanges, signalsBefore);
  // The decision looked at the environment once, at the tick's moment, for the mascot's display.
  ASSERT_EQ(environment->questions.size(), 1u);
  EXPECT_EQ(environment->questions[0].now, at(11, 0, 10));

  // The completion signals the status item once more.
  const int signalsWhileShown = stateChanges;
  presenter->finishVisit();
  EXPECT_EQ(stateChanges, signalsWhileShown + 1);
}

TEST_F(VisitQueueTest, SpeechMomentOnlyForHourlyAndManualAndNoEmptyPhrase) {
  buildAndStart();
  const struct {
    const char* name;
    Visit::Kind kind;
    std::string phrase;
    bool spoken;
    bool hasMoment;
  } rows[] = {
      {"hourly", Visit::Kind::hourly(), "It's eleven", true, true},
      {"manual", Visit::Kind::manual(), "It's eleven", true, true},
      {"reminder", Visit::Kind::reminder(UUID::random()), "Stand up", true, false},
      {"focus start", Visit::Kind::pomodoroStart(), "25 minutes. Go.", true, false},
      {"empty phrase is shown, not spoken", Visit::Kind::pomodoroComplete(), "", false, false},
  };
  for (const auto& row : rows) {
    speech->spoken.clear();
    presenter->performed.clear();
    coordinator->enqueue(visit(row.kind, at(10, 59), row.phrase));
    EXPECT_EQ(presenter->performed.size(), 1u) << row.name;
    ASSERT_EQ(speech->spoken.size(), row.spoken ? 1u : 0u) << row.name;
    if (row.spoken) {
      EXPECT_EQ(speech->spoken[0].moment.has_value(), row.hasMoment) << row.name;
    }
    presenter->finishVisit();
  }
}

TEST_F(VisitQueueTest, SuppressedVisitBecomesNotificationOrIsDroppedByReasonAndKind) {
  using Facts = void (*)(EnvironmentSnapshot&);
  const struct {
    const char* name;
    Facts facts;
    bool quietInFullscreen;
    Visit::Kind kind;
    bool notifies;
    const char* explanation;
  } rows[] = {
      {"muted reminder", [](EnvironmentSnapshot& e) { e.mutedUntil = at(12, 0); }, false,
       Visit::Kind::reminder(UUID::random()), true, "muted"},
      {"camera hourly", [](EnvironmentSnapshot& e) { e.cameraInUse = true; }, false,
       Visit::Kind::hourly(), true, "camera in use"},
      {"microphone encouragement", [](EnvironmentSnapshot& e) { e.microphoneInUse = true; },
       false, Visit::Kind::encouragement(), false, "microphone in use"},
      {"meeting app in front, manual",
       [](EnvironmentSnapshot& e) { e.activeAppId = "us.zoom.xos"; }, false,
       Visit::Kind::manual(), true, "presenting in us.zoom.xos"},
      {"full screen focus start",
       [](EnvironmentSnapshot& e) { e.isFullscreenOnTargetDisplay = true; }, true,
       Visit::Kind::pomodoroStart(), true, "fullscreen app on the target display"},
      {"screen away hourly", [](EnvironmentSnapshot& e) { e.isScreenUnavailable = true; }, false,
       Visit::Kind::hourly(), false, "screen asleep or locked"},
      {"screen away manual", [](EnvironmentSnapshot& e) { e.isScreenUnavailable = true; }, false,
       Visit::Kind::manual(), false, "screen asleep or locked"},
      {"screen away break end", [](EnvironmentSnapshot& e) { e.isScreenUnavailable = true; },
       false, Visit::Kind::breakComplete(), true, "screen asleep or locked"},
      {"screen away focus end", [](EnvironmentSnapshot& e) { e.isScreenUnavailable = true; },
       false, Visit::Kind::pomodoroComplete(), true, "screen asleep or locked"},
  };
  buildAndStart();
  for (const auto& row : rows) {
    environment->facts = EnvironmentSnapshot();
    row.facts(environment->facts);
    Preferences settings = preferences->preferences();
    settings.quietInFullscreen = row.quietInFullscreen;
    preferences->setPreferences(settings);
    notifications->posted.clear();
    LogCapture rowLog;

    coordinator->enqueue(visit(row.kind, at(10, 58, 59.75), "Water the plants"));

    EXPECT_TRUE(presenter->offered.empty()) << row.name;
    EXPECT_TRUE(speech->spoken.empty()) << row.name;
    EXPECT_TRUE(coordinator->pendingVisits().empty()) << row.name;
    const auto expected = row.notifies ? std::vector<FakeNotificationService::Posted>{
                                             {"Vorlane", "Water the plants"}}
                                       : std::vector<FakeNotificationService::Posted>{};
    EXPECT_EQ(notifications->posted, expected) << row.name;
    EXPECT_EQ(logMessages(rowLog, "suppression"),
              std::vector<std::string>{
                  std::string("suppressed visit scheduled for 2026-03-10 09:58:59 +0000: ") +
                  row.explanation})
        << row.name;
  }
}

TEST_F(VisitQueueTest, TwoVisitsDueTogetherAreShownInOrderWithoutASecondLook) {
  const Reminder standup(UUID::random(), "standup", VisitTrigger::oneOff(at(11, 0)), at(9, 0));
  reminders->add(standup);
  buildAndStart();

  tickAt(at(11, 0, 20));
  ASSERT_EQ(presenter->offered.size(), 2u);
  EXPECT_EQ(presenter->offered[0].kind.value(), Case::hourly);
  EXPECT_EQ(presenter->offered[1].kind, Visit::Kind::reminder(standup.id));
  EXPECT_EQ(presenter->refusals, 1);
  ASSERT_EQ(coordinator->pendingVisits().size(), 1u);
  EXPECT_EQ(speech->spoken.size(), 1u);  // nothing is spoken for the held one
  EXPECT_EQ(logMessages(log, "presentation"),
            std::vector<std::string>{"holding visit until the current one finishes"});
  ASSERT_TRUE(coordinator->lastFiredReminder().has_value());
  EXPECT_EQ(coordinator->lastFiredReminder()->id, standup.id);

  // The camera comes on meanwhile: the held visit was judged already.
  environment->facts.cameraInUse = true;
  clock->set(at(11, 1));
  presenter->finishVisit();
  ASSERT_EQ(presenter->performed.size(), 2u);
  EXPECT_EQ(presenter->performed[1].kind, Visit::Kind::reminder(standup.id));
  EXPECT_EQ(environment->questions.size(), 2u);
  ASSERT_EQ(speech->spoken.size(), 2u);
  EXPECT_EQ(speech->spoken[1].text, "standup");
  EXPECT_EQ(speech->spoken[1].moment, std::nullopt);
  EXPECT_TRUE(coordinator->pendingVisits().empty());
  EXPECT_TRUE(notifications->posted.empty());
}

TEST_F(VisitQueueTest, HeldVisitsOlderThanNinetySecondsAreDroppedAndTheNextTriedAtOnce) {
  const struct {
    const char* name;
    double drainAfter;  // seconds after 11:00 when the visit on screen ends
    std::vector<std::string> expectedShown;
    int staleLines;
  } rows[] = {
      {"exactly ninety seconds is still shown", 90, {"first"}, 0},
      {"ninety-one drops the first, shows the second", 91, {"second"}, 1},
      {"both stale", 200, {}, 2},
  };
  for (const auto& row : rows) {
    auto mascot = std::make_shared<FakeVisitPresenter>();
    presenter = mascot;
    clock->set(at(11, 0));
    build();
    coordinator->start();
    LogCapture rowLog;
    coordinator->enqueue(visit(Visit::Kind::manual(), at(11, 0), "on screen"));
    coordinator->enqueue(visit(Visit::Kind::reminder(UUID::random()), at(11, 0), "first"));
    coordinator->enqueue(visit(Visit::Kind::reminder(UUID::random()), at(11, 0, 30), "second"));
    ASSERT_EQ(coordinator->pendingVisits().size(), 2u) << row.name;

    clock->set(at(11, 0) + row.drainAfter);
    mascot->finishVisit();

    std::vector<std::string> shown;
    for (std::size_t i = 1; i < mascot->performed.size(); ++i) {
      shown.push_back(mascot->performed[i].bubbleText);
    }
    EXPECT_EQ(shown, row.expectedShown) << row.name;
    const auto lines = logMessages(rowLog, "presentation");
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "dropping held visit, it went stale while waiting"),
              row.staleLines)
        << row.name;
  }
}

TEST_F(VisitQueueTest, EndOfAVisitAndEveryTickDrainTheHeldVisits) {
  buildAndStart();
  coordinator->enqueue(visit(Visit::Kind::manual(), at(10, 59), "on screen"));
  coordinator->enqueue(visit(Visit::Kind::pomodoroStart(), at(10, 59), "held"));
  EXPECT_TRUE(presenter->abandonVisit(std::nullopt));
  ASSERT_EQ(presenter->performed.size(), 2u);
  EXPECT_EQ(presenter->performed[1].bubbleText, "held");

  coordinator->enqueue(visit(Visit::Kind::pomodoroStart(), at(10, 59, 20), "next"));
  tickAt(at(10, 59, 30));
  EXPECT_EQ(coordinator->pendingVisits().size(), 1u);  // the mascot is still busy
  // The mascot frees itself without reporting it: the next tick shows the held visit.
  presenter->forgetVisit();
  tickAt(at(10, 59, 45));
  ASSERT_EQ(presenter->performed.size(), 3u);
  EXPECT_EQ(presenter->performed[2].bubbleText, "next");
  EXPECT_TRUE(coordinator->pendingVisits().empty());
}

TEST_F(VisitQueueTest, ReminderDeletedBeforeItShowsStillShowsWithNoLastFiredReminder) {
  buildAndStart();
  coordinator->enqueue(visit(Visit::Kind::reminder(UUID::random()), at(10, 59), "gone"));
  EXPECT_EQ(presenter->performed.size(), 1u);
  EXPECT_FALSE(coordinator->lastFiredReminder().has_value());
}

TEST_F(VisitQueueTest, TheOverrideReplacesTheEnvironmentSourceAndPreferencesApplyAtOnce) {
  auto given = dependencies();
  int asked = 0;
  given.environmentSnapshot = [&](Date now) {
    ++asked;
    return EnvironmentSnapshot{.now = now, .activeAppId = "org.example.slides"};
  };
  given.environment = nullptr;
  build(std::move(given));
  coordinator->start();

  coordinator->enqueue(visit(Visit::Kind::hourly(), at(10, 59)));
  EXPECT_EQ(presenter->performed.size(), 1u);
  presenter->finishVisit();

  Preferences settings = preferences->preferences();
  settings.blockedAppIds.insert("org.example.slides");
  preferences->setPreferences(settings);
  coordinator->enqueue(visit(Visit::Kind::hourly(), at(10, 59)));
  EXPECT_EQ(presenter->performed.size(), 1u);
  EXPECT_EQ(notifications->posted.size(), 1u);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(environment->questions.empty());
}

}  // namespace
}  // namespace vorlane
