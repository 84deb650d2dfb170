#include "ui/mascot/scene/mascot_scene.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>

#include "tests/support/image_pixels.h"
#include "tests/ui/mascot/scene/mascot_scene_harness.h"

namespace vorlane {
namespace {

bool near(const QColor& a, const Rgba& b) {
  const QColor c = b.toQColor();
  return std::abs(a.red() - c.red()) <= 2 && std::abs(a.green() - c.green()) <= 2 &&
         std::abs(a.blue() - c.blue()) <= 2;
}

class MascotSceneTest : public testing::Test {
 protected:
  MascotSceneTest()
      : scene(new MascotScene(QSizeF(W, H), new PlaceholderCharacterNode)),
        clock(scene, 1.0 / 60),
        figure(static_cast<PlaceholderCharacterNode*>(scene->character())) {}
  ~MascotSceneTest() override { delete scene.data(); }

  // The rope's far end, in scene points.
  QPointF ropeEnd() const { return scene->rope()->path().currentPosition(); }

  QPointer<MascotScene> scene;
  ManualClock clock;
  PlaceholderCharacterNode* figure;
  int completions = 0;
};

TEST_F(MascotSceneTest, ANewSceneShowsNothing) {
  EXPECT_EQ(figure->alpha(), 0);
  EXPECT_EQ(scene->bubble()->alpha(), 0);
  EXPECT_EQ(scene->quickActions()->alpha(), 0);
  EXPECT_TRUE(scene->rope()->path().isEmpty());
  EXPECT_EQ(scene->presenceState(), PresenceState::away);
  EXPECT_TRUE(fullyTransparent(scene->renderImage()));
}

TEST_F(MascotSceneTest, PeekDrawsTheRopeAndTheFigureWhereTheyBelong) {
  scene->enterPeek(false);
  clock.step();
  const QImage image = scene->renderImage();
  const double ropeX = W - 78;
  EXPECT_TRUE(near(image.pixelColor(int(ropeX), 5), MascotTheme::light().rope));
  // Half size: the body's centre is 46 below the rope's end, the head's 23.
  const QPointF at = scene->characterPosition();
  EXPECT_EQ(at, QPointF(ropeX, H - 30));
  EXPECT_TRUE(
      near(image.pixelColor(int(ropeX), int(H - (at.y() - 52))), PlaceholderCharacterNode::brown));
  EXPECT_TRUE(
      near(image.pixelColor(int(ropeX), int(H - (at.y() - 23))), PlaceholderCharacterNode::orange));
  EXPECT_EQ(qAlpha(image.pixel(20, int(H / 2))), 0);
}

TEST_F(MascotSceneTest, SessionHandHeightRunsFromWorkingToPeek) {
  const struct {
    double progress;
    double y;
  } rows[] = {{0, H - 140},  {-1, H - 140}, {std::nan(""), H - 140},
              {0.5, H - 85}, {1, H - 30},   {7, H - 30}};
  for (const auto& row : rows)
    EXPECT_DOUBLE_EQ(scene->sessionHandY(row.progress), row.y) << row.progress;
}

TEST_F(MascotSceneTest, AnHourlyVisitFollowsItsTimeline) {
  scene->setCharacterTopInset(40);
  scene->enterPeek(false);
  const double restY = (H - 40) * 0.66;
  const Choreography c = Choreography::standard();  // 1.6 down, 3.8 hold, 1.6 up
  scene->perform(makeVisit(c), true, [this] { ++completions; });
  EXPECT_EQ(scene->presenceState(), PresenceState::visiting);
  clock.advance(0.8);  // ease-in: a quarter of the way down
  const double peekY = H - 40 - 30;
  EXPECT_NEAR(figure->position().y(), peekY + (restY - 14 - peekY) * 0.25, 1.0);
  EXPECT_NEAR(figure->xScale(), 0.5 + 0.5 * 0.25, 0.01);
  clock.advance(0.8 + 0.18 + 0.05);
  EXPECT_NEAR(figure->position().y(), restY, 1e-6);
  EXPECT_DOUBLE_EQ(figure->xScale(), 1.0);
  clock.advance(0.5);
  EXPECT_DOUBLE_EQ(scene->bubble()->alpha(), 1.0);
  EXPECT_NEAR(scene->bubble()->position().x() + scene->bubble()->bubbleSize().width() / 2, W - 130,
              1e-6);
  EXPECT_NEAR(scene->bubble()->position().y(), restY - 34, 1e-6);
  clock.advance(3.8 + 0.3);  // departed: the bubble is gone, the climb has begun
  EXPECT_EQ(scene->bubble()->alpha(), 0);
  EXPECT_GT(figure->position().y(), restY);
  EXPECT_EQ(completions, 0);
  clock.advance(1.5);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(scene->presenceState(), PresenceState::peeking);
  EXPECT_EQ(figure->position(), QPointF(W - 78, peekY));
  EXPECT_EQ(figure->xScale(), 0.5);
  clock.advance(5);
  EXPECT_EQ(completions, 1);
}

TEST_F(MascotSceneTest, AZeroLengthVisitArrivesDepartsAndCompletesOnce) {
  int celebrations = 0;
  scene->onCelebrate = [&] { ++celebrations; };
  scene->perform(makeVisit({0, 0, 0, Choreography::Celebration::triumph}), true,
                 [this] { ++completions; });
  clock.advance(0.1);
  clock.advance(0.2);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(celebrations, 1);
  EXPECT_EQ(scene->presenceState(), PresenceState::peeking);
  EXPECT_FALSE(figure->hasAction(MascotScene::visitKey));
}

TEST_F(MascotSceneTest, TheVisitEndsInThePoseTheModeAndSessionCallFor) {
  struct Row {
    const char* name;
    PresenceMode mode;
    bool session;
    bool panel;
    PresenceState expected;
  };
  const Row rows[] = {
      {"peek", PresenceMode::peek, false, false, PresenceState::peeking},
      {"hidden", PresenceMode::hidden, false, false, PresenceState::away},
      {"hidden with panel", PresenceMode::hidden, false, true, PresenceState::peeking},
      {"hidden in a focus", PresenceMode::hidden, true, false, PresenceState::working}};
  for (const Row& row : rows) {
    MascotScene s(QSizeF(W, H), new PlaceholderCharacterNode);
    ManualClock c(&s);
    s.setPresenceMode(row.mode);
    s.setSessionCompletion(row.panel);
    if (row.session) s.setActiveSession(MascotScene::ActiveSession{0.5, "12:00", "Focus"});
    int done = 0;
    s.perform(makeVisit(Choreography::brief()), true, [&] { ++done; });
    EXPECT_TRUE(s.sessionCompletion()->isHidden()) << row.name;
    c.advance(5);
    EXPECT_EQ(done, 1) << row.name;
    EXPECT_EQ(s.presenceState(), row.expected) << row.name;
    EXPECT_EQ(s.sessionCompletion()->isHidden(), !row.panel) << row.name;
    EXPECT_EQ(s.character()->alpha(), row.expected == PresenceState::away ? 0 : 1) << row.name;
    EXPECT_EQ(s.rope()->path().isEmpty(), row.expected == PresenceState::away) << row.name;
    EXPECT_EQ(s.billboard()->alpha(), row.session ? 1 : 0) << row.name;
    if (row.session) {
      EXPECT_EQ(s.characterPosition().y(), s.sessionHandY(0.5)) << row.name;
    }
  }
}

TEST_F(MascotSceneTest, EndingEarlyAndAbandoning) {
  scene->endVisitEarly();
  scene->abandonVisit();
  EXPECT_EQ(scene->presenceState(), PresenceState::away);

  scene->perform(makeVisit(Choreography::standard()), true, [this] { ++completions; });
  clock.advance(3);  // holding
  scene->endVisitEarly();
  clock.advance(0.2);
  EXPECT_LT(scene->bubble()->alpha(), 0.1);
  EXPECT_EQ(completions, 0);
  clock.advance(0.35);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(scene->presenceState(), PresenceState::peeking);

  scene->perform(makeVisit(Choreography::standard()), true, [this] { ++completions; });
  clock.advance(2.5);
  scene->abandonVisit();
  EXPECT_EQ(completions, 2);
  EXPECT_EQ(scene->bubble()->alpha(), 0);
  clock.advance(10);
  EXPECT_EQ(completions, 2);
}

TEST_F(MascotSceneTest, TheCompletionMayTearTheSceneDownOrStartTheNextVisit) {
  int second = 0;
  scene->perform(makeVisit({0.1, 0.1, 0.1, Choreography::Celebration::none}), true,
                 [this, &second] {
                   ++completions;
                   scene->perform(makeVisit({0.1, 0.1, 0.1, Choreography::Celebration::none}), true,
                                  [this, &second] {
                                    ++second;
                                    scene->tearDown();
                                  });
                 });
  clock.advance(0.6);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(scene->presenceState(), PresenceState::visiting);
  clock.advance(1);
  EXPECT_EQ(second, 1);
  EXPECT_TRUE(scene->isTornDown());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(scene.isNull());
}

TEST_F(MascotSceneTest, TearingDownOnArrivalSkipsTheRestAndTheCompletion) {
  scene->onCelebrate = [this] { scene->tearDown(); };
  scene->perform(makeVisit({0.1, 0.1, 0.1, Choreography::Celebration::triumph}), true,
                 [this] { ++completions; });
  clock.advance(2);
  EXPECT_EQ(completions, 0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(scene.isNull());
}

TEST_F(MascotSceneTest, TheRopeFollowsTheCharacterWithinTheFrame) {
  scene->perform(makeVisit(Choreography::standard()), true, [] {});
  for (int frame = 0; frame < 120; ++frame) {
    clock.step();
    EXPECT_EQ(ropeEnd(), scene->characterPosition()) << frame;
  }
  EXPECT_EQ(scene->rope()->path().elementAt(0), QPointF(W - 78, H));
}

TEST_F(MascotSceneTest, FidgetsOnlyInARestingPose) {
  EXPECT_FALSE(scene->performIdleFidget(IdleFidget::wave).has_value());  // away
  scene->enterPeek(false);
  EXPECT_EQ(scene->performIdleFidget(IdleFidget::wave), 0.7);
  scene->setDragStartY(100);
  EXPECT_FALSE(scene->performIdleFidget(IdleFidget::wave).has_value());
  scene->setDragStartY(std::nullopt);
  scene->arrangeSessionPose(0.2, "20:00", "Focus");
  EXPECT_FALSE(scene->performIdleFidget(IdleFidget::wave).has_value());
  EXPECT_EQ(scene->performIdleFidget(IdleFidget::lookAround), 0.7);
  scene->setSessionCompletion(true);
  EXPECT_FALSE(scene->performIdleFidget(IdleFidget::lookAround).has_value());
}

TEST_F(MascotSceneTest, PeekIsIgnoredDuringAVisitAndAPull) {
  scene->perform(makeVisit(Choreography::standard()), true, [] {});
  scene->enterPeek(false);
  EXPECT_EQ(scene->presenceState(), PresenceState::visiting);
}

TEST_F(MascotSceneTest, AnimatedPeekFromAwayStartsAboveTheTopAtHalfSize) {
  scene->enterPeek(true);
  EXPECT_EQ(figure->position(), QPointF(W - 78, H + 150));
  EXPECT_EQ(figure->xScale(), 0.5);
  clock.advance(0.5);
  EXPECT_EQ(figure->position(), QPointF(W - 78, H - 30));
}

TEST_F(MascotSceneTest, LeaveCompletesAfterTheClimb) {
  scene->enterPeek(false);
  bool left = false;
  scene->leave([&] { left = true; });
  clock.advance(0.45);
  EXPECT_FALSE(left);
  clock.advance(0.1);
  EXPECT_TRUE(left);
  EXPECT_EQ(figure->alpha(), 0);
  EXPECT_TRUE(scene->rope()->path().isEmpty());
}

TEST_F(MascotSceneTest, AppearanceSetsOpacitiesWidthAndTheme) {
  MascotAppearance a;
  a.ropeWidth = 6;
  a.bannerOpacity = 0.01;
  a.ropeColor = MascotColor(0, 0, 1);
  scene->applyAppearance(a);
  EXPECT_EQ(scene->rope()->lineWidth(), 6);
  EXPECT_EQ(scene->bannerLayer()->alpha(), 0.01);
  EXPECT_EQ(scene->rope()->strokeColor(), (Rgba{0, 0, 1, 1}));
  EXPECT_FALSE(scene->quickActionsAreInteractive());
  scene->applyTheme(MascotTheme::dark());
  EXPECT_EQ(scene->theme().bubbleFill, MascotTheme::dark().bubbleFill);
  EXPECT_EQ(scene->rope()->strokeColor(), (Rgba{0, 0, 1, 1}));
  EXPECT_EQ(scene->bubble()->background()->fillColor(), MascotTheme::dark().bubbleFill);
}

}  // namespace
}  // namespace vorlane
