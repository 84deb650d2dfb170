// The visit delivery on its own: a fake mascot, speech, notifications and environment.
#include "coordination/visits/visit_delivery.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/settings/in_memory_preferences_store.h"
#include "platform/logging/log_capture.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_coordination_observer.h"
#include "tests/support/fake_environment.h"
#include "tests/support/fake_mute_state.h"
#include "tests/support/fake_services.h"
#include "tests/support/fake_visit_presenter.h"

namespace vorlane {
namespace {

using Kind = Visit::Kind;

const Calendar berlin("Europe/Berlin", "en_GB");
const Date eleven = *berlin.date(2026, 3, 10, 11, 0, 0);

class VisitDeliveryTest : public testing::Test {
 protected:
  void SetUp() override {
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
    return Visit{UUID::random(), kind, scheduledFor, text, text, true,
                 Visit::BubbleStyle::headline, Choreography::standard(), true};
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

}  // namespace
}  // namespace vorlane
