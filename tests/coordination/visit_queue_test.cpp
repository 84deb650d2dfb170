// Suppression, presentation, holding and draining of scheduled visits.
#include <gtest/gtest.h>

#include "tests/coordination/coordinator_harness.h"

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

TEST_F(VisitQueueTest, SuppressedVisitBecomesNotificationOrIsDroppedByReasonAndKind) {
  using Facts = void (*)(EnvironmentSnapshot&);
  const Facts muted = [](EnvironmentSnapshot& e) { e.mutedUntil = at(12, 0); };
  const Facts camera = [](EnvironmentSnapshot& e) { e.cameraInUse = true; };
  const Facts microphone = [](EnvironmentSnapshot& e) { e.microphoneInUse = true; };
  const Facts meeting = [](EnvironmentSnapshot& e) { e.activeAppId = "us.zoom.xos"; };
  const Facts fullscreen = [](EnvironmentSnapshot& e) { e.isFullscreenOnTargetDisplay = true; };
  const Facts away = [](EnvironmentSnapshot& e) { e.isScreenUnavailable = true; };
  const std::string screenAway = "screen asleep or locked";
  const struct {
    const char* name;
    Facts facts;
    Kind kind;
    bool notifies;
    std::string explanation;
  } rows[] = {
      {"muted reminder", muted, Kind::reminder(UUID::random()), true, "muted"},
      {"camera hourly", camera, Kind::hourly(), true, "camera in use"},
      {"microphone encouragement", microphone, Kind::encouragement(), false, "microphone in use"},
      {"meeting app, manual", meeting, Kind::manual(), true, "presenting in us.zoom.xos"},
      {"full screen focus start", fullscreen, Kind::pomodoroStart(), true,
       "fullscreen app on the target display"},
      {"screen away hourly", away, Kind::hourly(), false, screenAway},
      {"screen away manual", away, Kind::manual(), false, screenAway},
      {"screen away break end", away, Kind::breakComplete(), true, screenAway},
      {"screen away focus end", away, Kind::pomodoroComplete(), true, screenAway},
  };
  buildAndStart();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    environment->facts = EnvironmentSnapshot();
    row.facts(environment->facts);
    change([&](Preferences& p) { p.quietInFullscreen = row.facts == fullscreen; });
    notifications->posted.clear();
    LogCapture rowLog;
    coordinator->enqueue(visit(row.kind, at(10, 58, 59.75), "Water the plants"));
    EXPECT_TRUE(presenter->offered.empty());
    EXPECT_TRUE(coordinator->pendingVisits().empty());
    using Posted = std::vector<FakeNotificationService::Posted>;
    EXPECT_EQ(notifications->posted,
              row.notifies ? Posted({{"Vorlane", "Water the plants"}}) : Posted());
    EXPECT_EQ(logMessages(rowLog, "suppression"),
              std::vector<std::string>{
                  "suppressed visit scheduled for 2026-03-10 09:58:59 +0000: " + row.explanation});
  }
}

TEST_F(VisitQueueTest, TwoVisitsDueTogetherAreShownInOrderWithoutASecondLook) {
  const Reminder standup(UUID::random(), "standup", VisitTrigger::oneOff(at(11, 0)), at(9, 0));
  reminders->add(standup);
  buildAndStart();
  tickAt(at(11, 0, 20));
  ASSERT_EQ(presenter->offered.size(), 2u);
  ASSERT_EQ(coordinator->pendingVisits().size(), 1u);
  EXPECT_EQ(speech->spoken.size(), 1u);  // nothing is spoken for the held one
  EXPECT_EQ(logMessages(log, "presentation"),
            std::vector<std::string>{"holding visit until the current one finishes"});
  EXPECT_EQ(coordinator->lastFiredReminder()->id, standup.id);

  // The camera comes on meanwhile: the held visit was judged already.
  environment->facts.cameraInUse = true;
  clock->set(at(11, 1));
  presenter->finishVisit();
  EXPECT_EQ(presenter->performed.at(1).kind, Kind::reminder(standup.id));
  EXPECT_EQ(speech->spoken.back().text, "standup");
  EXPECT_TRUE(notifications->posted.empty());
}

TEST_F(VisitQueueTest, HeldVisitsOlderThanNinetySecondsAreDroppedAndTheNextTriedAtOnce) {
  const struct {
    const char* name;
    double drainAfter;  // seconds after 11:00 when the visit on screen ends
    std::vector<std::string> expectedShown;
    long staleLines;
  } rows[] = {
      {"exactly ninety seconds is still shown", 90, {"first"}, 0},
      {"ninety-one drops the first, shows the second", 91, {"second"}, 1},
      {"both stale", 200, {}, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fresh(at(11, 0));
    LogCapture rowLog;
    coordinator->enqueue(visit(Kind::manual(), at(11, 0), "on screen"));
    coordinator->enqueue(visit(Kind::reminder(UUID::random()), at(11, 0), "first"));
    coordinator->enqueue(visit(Kind::reminder(UUID::random()), at(11, 0, 30), "second"));
    clock->set(at(11, 0) + row.drainAfter);
    presenter->finishVisit();
    std::vector<std::string> shown;
    for (std::size_t i = 1; i < presenter->performed.size(); ++i) {
      shown.push_back(presenter->performed[i].bubbleText);
    }
    EXPECT_EQ(shown, row.expectedShown);
    const auto lines = logMessages(rowLog, "presentation");
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "dropping held visit, it went stale while waiting"),
              row.staleLines);
  }
}

TEST_F(VisitQueueTest, EndOfAVisitAndEveryTickDrainTheHeldVisits) {
  buildAndStart();
  coordinator->enqueue(visit(Kind::manual(), at(10, 59), "on screen"));
  coordinator->enqueue(visit(Kind::pomodoroStart(), at(10, 59), "held"));
  EXPECT_TRUE(presenter->abandonVisit(std::nullopt));
  EXPECT_EQ(presenter->performed.back().bubbleText, "held");

  coordinator->enqueue(visit(Kind::pomodoroStart(), at(10, 59, 20), "next"));
  tickAt(at(10, 59, 30));
  EXPECT_EQ(coordinator->pendingVisits().size(), 1u);  // the mascot is still busy
  // The mascot frees itself without reporting it: the next tick shows the held visit.
  presenter->forgetVisit();
  tickAt(at(10, 59, 45));
  EXPECT_EQ(presenter->performed.back().bubbleText, "next");
  EXPECT_TRUE(coordinator->pendingVisits().empty());
}

}  // namespace
}  // namespace vorlane
