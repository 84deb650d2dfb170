#include <gtest/gtest.h>

#include "tests/ui/mascot/scene/mascot_scene_harness.h"

namespace vorlane {
namespace {

TEST(RectTest, HalfOpenContainmentAndUnionFromNull) {
  const Rect r{10, 20, 30, 40};
  EXPECT_TRUE(r.contains({10, 20}));
  EXPECT_FALSE(r.contains({40, 30}));
  EXPECT_FALSE(r.contains({20, 60}));
  EXPECT_FALSE(Rect{}.contains({0, 0}));
  EXPECT_FALSE(Rect::null().contains({0, 0}));
  EXPECT_EQ(Rect::null().united(r), r);
  EXPECT_EQ(r.united(Rect{50, 0, 10, 10}), (Rect{10, 0, 50, 60}));
  EXPECT_EQ(r.grownBy(6), (Rect{4, 14, 42, 52}));
}

class DragTest : public SceneTest {
 protected:
  DragTest() { scene.enterPeek(false); }
  double y() const { return scene.characterPosition().y(); }
};

TEST_F(DragTest, TheHitFrameIsTheCharacterGrownByTen) {
  const Rect frame = Rect::from(scene.character()->accumulatedFrame());
  EXPECT_EQ(scene.characterFrame(), frame.grownBy(6));
  EXPECT_EQ(scene.characterHitFrame(), frame.grownBy(10));
  EXPECT_TRUE(scene.containsInteractivePoint(scene.characterPosition() - QPointF(0, 20)));
  EXPECT_FALSE(scene.containsInteractivePoint({10, 10}));
}

TEST_F(DragTest, NoCharacterHitWhenFadedAwayOrClickThrough) {
  const struct {
    const char* name;
    std::function<void(MascotScene&)> change;
  } rows[] = {
      {"monkey opacity",
       [](MascotScene& s) {
         MascotAppearance a;
         a.monkeyOpacity = 0.01;
         s.applyAppearance(a);
       }},
      {"faded out", [](MascotScene& s) { s.character()->setAlpha(0.005); }},
      {"away", [](MascotScene& s) { s.leave(); }},
  };
  for (const auto& row : rows) {
    MascotScene s(QSizeF(W, H), new PlaceholderCharacterNode);
    s.enterPeek(false);
    s.showQuickActions();
    row.change(s);
    EXPECT_TRUE(s.characterHitFrame().isEmpty()) << row.name;
    if (s.presenceState() != PresenceState::away) {
      // The pills stay live.
      EXPECT_EQ(s.interactiveFrame(), Rect::from(s.actionNodes()[0]->frame())
                                          .united(Rect::from(s.actionNodes()[1]->frame()))
                                          .united(Rect::from(s.actionNodes()[2]->frame())))
          << row.name;
    }
  }
  scene.showQuickActions();
  scene.setInteractionsEnabled(false);
  EXPECT_TRUE(scene.interactiveFrame().isNull);
  EXPECT_FALSE(scene.containsInteractivePoint(scene.characterPosition()));
}

TEST_F(DragTest, APullFollowsDownwardsOnlyGrowsAndStopsAtTheFloor) {
  const double start = y();
  scene.beginDrag();
  ASSERT_TRUE(scene.isDragging());
  scene.updateDrag(30);
  EXPECT_EQ(y(), start);
  scene.updateDrag(-56);
  EXPECT_EQ(y(), start - 56);
  EXPECT_DOUBLE_EQ(scene.character()->xScale(), 0.5 + 0.5 * 0.5);
  scene.updateDrag(-2000);
  EXPECT_EQ(y(), scene.restY() - 40);
  EXPECT_EQ(scene.character()->xScale(), 1);
  EXPECT_EQ(scene.characterPosition().x(), W - 78);
  EXPECT_TRUE(scene.endDrag());
  EXPECT_FALSE(scene.isDragging());
  EXPECT_FALSE(scene.character()->hasAction(MascotScene::presenceKey));
}

TEST_F(DragTest, AShortPullSpringsBack) {
  const double start = y();
  scene.beginDrag();
  scene.updateDrag(-69);
  EXPECT_FALSE(scene.endDrag());
  clock.advance(0.2);
  EXPECT_LT(y(), start);
  clock.advance(0.2);
  EXPECT_EQ(y(), start);
  EXPECT_EQ(scene.character()->xScale(), 0.5);
  EXPECT_FALSE(scene.endDrag());
}

TEST_F(DragTest, CancellingPutsTheCharacterBackAtOnce) {
  const double start = y();
  scene.beginDrag();
  scene.updateDrag(-90);
  scene.cancelDrag();
  EXPECT_FALSE(scene.isDragging());
  EXPECT_EQ(y(), start);
  EXPECT_EQ(scene.character()->xScale(), 0.5);
  clock.step();
  EXPECT_EQ(scene.rope()->path().currentPosition(), scene.characterPosition());
  scene.cancelDrag();
  scene.updateDrag(-50);
  EXPECT_EQ(y(), start);
}

TEST_F(DragTest, NoPullStartsAwayOrDuringAVisit) {
  MascotScene away(QSizeF(W, H), new PlaceholderCharacterNode);
  away.beginDrag();
  EXPECT_FALSE(away.isDragging());
  scene.perform(makeVisit(), true, [] {});
  scene.beginDrag();
  EXPECT_FALSE(scene.isDragging());
  EXPECT_FALSE(scene.endDrag());
}

TEST_F(DragTest, AGrabHidesThePillsButNotAPanelsPills) {
  scene.showQuickActions();
  scene.beginDrag();
  EXPECT_FALSE(scene.quickActionsAreInteractive());
  scene.cancelDrag();
  scene.showCompletion(
      PomodoroSession::Completion{PomodoroSession::Kind::rest, 300, Date(), "", UUID()}, "3:15 PM",
      "Finished just now");
  scene.beginDrag();
  EXPECT_TRUE(scene.quickActionsAreInteractive());
}

}  // namespace
}  // namespace vorlane
