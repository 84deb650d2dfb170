// The visit delivery on its own: a fake mascot, speech, notifications and environment.
#include "coordination/visits/visit_delivery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_coordination_observer.h"
#include "tests/support/fake_environment.h"
#include "tests/support/fake_mute_state.h"
#include "tests/support/fake_services.h"
#include "tests/support/fake_visit_presenter.h"
#include "tests/support/headline_visit.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"

namespace vorlane {
namespace {

using Kind = Visit::Kind;

const Calendar berlin("Europe/Berlin", "en_GB");
const Date eleven = *berlin.date(2026, 3, 10, 11, 0, 0);

// A moment on Tuesday 2026-03-10, local time.
Date at(int hour, int minute, double second = 0) {
  return *berlin.date(2026, 3, 10, hour, minute, 0) + second;
}

class VisitDeliveryTest : public testing::Test {
 protected:
  void SetUp() override { fresh(); }
  // A new delivery over a new mascot, speech and notifications.
  void fresh() {
    presenter = std::make_shared<FakeVisitPresenter>();
    speech = std::make_shared<FakeSpeechService>();
    notifications = std::make_shared<FakeNotificationService>();
    delivery = VisitDelivery::create({.clock = clock,
                                      .presenter = presenter,
                                      .speech = speech,
                                      .notifications = notifications,
                                      .preferencesStore = preferences,
                                      .environmentSnapshot = nullptr,
                                      .environment = environment,
                                      .mute = mute,
                                      .observer = observer});
  }
  static Visit visit(Kind kind, Date scheduledFor, std::string text) {
    return headlineVisit(UUID::random(), kind, scheduledFor, text);
  }

  LogCapture log;
  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(eleven);
  std::shared_ptr<FakeVisitPresenter> presenter = std::make_shared<FakeVisitPresenter>();
  std::shared_ptr<FakeSpeechService> speech = std::make_shared<FakeSpeechService>();
  std::shared_ptr<FakeNotificationService> notifications =
      std::make_shared<FakeNotificationService>();
  std::shared_ptr<InMemoryPreferencesStore> preferences =
      std::make_shared<InMemoryPreferencesStore>();
  std::shared_ptr<FakeEnvironment> environment = std::make_shared<FakeEnvironment>();
  std::shared_ptr<VisitDelivery> delivery;
  std::shared_ptr<FakeMuteState> mute = std::make_shared<FakeMuteState>();
  std::shared_ptr<FakeCoordinationObserver> observer = std::make_shared<FakeCoordinationObserver>();
  // The bubbles of the visits the observer heard were on their way to the mascot.
  std::vector<std::string> presenting() const {
    std::vector<std::string> texts;
    for (const Visit& visit : observer->presenting) texts.push_back(visit.bubbleText);
    return texts;
  }
};

TEST_F(VisitDeliveryTest, ABusyMascotHoldsTheVisitWhichFollowsWithoutASecondLook) {
  delivery->enqueue(visit(Kind::hourly(), eleven, "first"));
  delivery->enqueue(visit(Kind::reminder(UUID::random()), eleven, "second"));
  EXPECT_EQ(environment->questions.size(), 2u);
  EXPECT_EQ(delivery->pending().size(), 1u);
  EXPECT_EQ(presenting(), (std::vector<std::string>{"first", "second"}));

  presenter->finishVisit();
  ASSERT_EQ(presenter->performed.size(), 2u);
  EXPECT_EQ(presenter->performed[1].bubbleText, "second");
  EXPECT_EQ(environment->questions.size(), 2u) << "judged once, when it came in";
  EXPECT_TRUE(delivery->pending().empty());
  EXPECT_GE(observer->changes, 1);
}

TEST_F(VisitDeliveryTest, SpeechMomentOnlyForHourlyAndManualAndNoEmptyPhrase) {
  const struct {
    const char* name;
    Kind kind;
    std::string phrase;
    bool spoken, hasMoment;
  } rows[] = {
      {"hourly", Kind::hourly(), "It's eleven", true, true},
      {"manual", Kind::manual(), "It's eleven", true, true},
      {"reminder no longer stored", Kind::reminder(UUID::random()), "Stand up", true, false},
      {"focus start", Kind::pomodoroStart(), "25 minutes. Go.", true, false},
      {"empty phrase is shown, not spoken", Kind::pomodoroComplete(), "", false, false},
  };
  const Date earlier = eleven - 60;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    speech->spoken.clear();
    presenter->performed.clear();
    delivery->enqueue(visit(row.kind, earlier, row.phrase));
    EXPECT_EQ(presenter->performed.size(), 1u);
    ASSERT_EQ(speech->spoken.size(), row.spoken ? 1u : 0u);
    if (row.spoken) {
      EXPECT_EQ(speech->spoken[0].moment, row.hasMoment ? std::optional(earlier) : std::nullopt);
      EXPECT_FALSE(speech->spoken[0].hasCompletion);
    }
    presenter->finishVisit();
  }
}

TEST_F(VisitDeliveryTest, TheMuteReachesTheEnvironmentAndTurnsAReminderIntoANotification) {
  mute->until = eleven + 3600;
  delivery->enqueue(visit(Kind::reminder(UUID::random()), eleven, "Stand up"));
  ASSERT_EQ(environment->questions.size(), 1u);
  EXPECT_EQ(environment->questions[0].mutedUntil, mute->until);
  EXPECT_TRUE(presenter->offered.empty());
  ASSERT_EQ(notifications->posted.size(), 1u);
  EXPECT_EQ(notifications->posted[0].body, "Stand up");
}

TEST_F(VisitDeliveryTest, TheScreenGoingAwayActsOnceAndItsReturnIsToldOnce) {
  delivery->enqueue(visit(Kind::hourly(), eleven, "on screen"));
  delivery->enqueue(visit(Kind::reminder(UUID::random()), eleven, "held reminder"));
  delivery->enqueue(visit(Kind::hourly(), eleven, "held hour"));
  EXPECT_TRUE(delivery->screenWentAway());
  EXPECT_TRUE(delivery->screenIsAway());
  EXPECT_TRUE(delivery->pending().empty());
  // Nobody reads the time on a sleeping screen; a reminder still reaches the user.
  EXPECT_EQ(notifications->posted,
            (std::vector<FakeNotificationService::Posted>{{"Vorlane", "held reminder"}}));
  EXPECT_EQ(speech->stops, 1);
  EXPECT_FALSE(delivery->screenWentAway()) << "lock and screen sleep often come together";
  EXPECT_EQ(speech->stops, 1);
  EXPECT_TRUE(delivery->suppressionDecision(eleven).reason().has_value());

  EXPECT_TRUE(delivery->screenCameBack());
  EXPECT_FALSE(delivery->screenCameBack());
  EXPECT_FALSE(delivery->screenIsAway());
}

TEST_F(VisitDeliveryTest, AVisitEndingAfterTheDeliveryIsGoneDoesNothing) {
  delivery->enqueue(visit(Kind::hourly(), eleven, "first"));
  delivery->enqueue(visit(Kind::hourly(), eleven, "second"));
  delivery.reset();
  const int before = observer->changes;
  EXPECT_TRUE(presenter->finishVisit());
  EXPECT_EQ(observer->changes, before);
  EXPECT_EQ(presenter->performed.size(), 1u);
}

TEST_F(VisitDeliveryTest, SuppressedVisitBecomesNotificationOrIsDroppedByReasonAndKind) {
  using Facts = void (*)(EnvironmentSnapshot&);
  const Facts muted = [](EnvironmentSnapshot& e) { e.mutedUntil = at(12, 0); };
  const Facts camera = [](EnvironmentSnapshot& e) { e.cameraInUse = true; };
  const Facts microphone = [](EnvironmentSnapshot& e) { e.microphoneInUse = true; };
  const Facts meeting = [](EnvironmentSnapshot& e) { e.activeAppID = "us.zoom.xos"; };
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
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    environment->facts = EnvironmentSnapshot();
    row.facts(environment->facts);
    Preferences settings = preferences->preferences();
    settings.quietInFullscreen = row.facts == fullscreen;
    preferences->setPreferences(settings);
    notifications->posted.clear();
    LogCapture rowLog;
    delivery->enqueue(visit(row.kind, at(10, 58, 59.75), "Water the plants"));
    EXPECT_TRUE(presenter->offered.empty());
    EXPECT_TRUE(delivery->pending().empty());
    using Posted = std::vector<FakeNotificationService::Posted>;
    EXPECT_EQ(notifications->posted,
              row.notifies ? Posted({{"Vorlane", "Water the plants"}}) : Posted());
    EXPECT_EQ(logMessages(rowLog, "suppression"),
              std::vector<std::string>{
                  "suppressed visit scheduled for 2026-03-10 09:58:59 +0000: " + row.explanation});
  }
}

TEST_F(VisitDeliveryTest, HeldVisitsOlderThanNinetySecondsAreDroppedAndTheNextTriedAtOnce) {
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
    clock->set(at(11, 0));
    fresh();
    LogCapture rowLog;
    delivery->enqueue(visit(Kind::manual(), at(11, 0), "on screen"));
    delivery->enqueue(visit(Kind::reminder(UUID::random()), at(11, 0), "first"));
    delivery->enqueue(visit(Kind::reminder(UUID::random()), at(11, 0, 30), "second"));
    clock->set(at(11, 0) + row.drainAfter);
    presenter->finishVisit();
    std::vector<std::string> shown;
    for (std::size_t i = 1; i < presenter->performed.size(); ++i) {
      shown.push_back(presenter->performed[i].bubbleText);
    }
    EXPECT_EQ(shown, row.expectedShown);
    const auto lines = logMessages(rowLog, "presentation");
    EXPECT_EQ(
        std::count(lines.begin(), lines.end(), "dropping held visit, it went stale while waiting"),
        row.staleLines);
  }
}

}  // namespace
}  // namespace vorlane
