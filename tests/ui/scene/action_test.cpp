#include "ui/scene/action.h"

#include <gtest/gtest.h>

#include <vector>

#include <QCoreApplication>
#include <QPointer>

#include "ui/scene/manual_clock.h"
#include "ui/scene/node.h"
#include "ui/scene/scene.h"

namespace vorlane {
namespace {

class ActionTest : public testing::Test {
 protected:
  ActionTest() : scene(QSizeF(200, 100)), clock(&scene, 0.125), node(new Node) {
    scene.addChild(node);
  }
  Scene scene;
  ManualClock clock;
  Node* node;
};

TEST_F(ActionTest, TimingModesWarpTheProgress) {
  struct Row {
    const char* name;
    TimingMode timing;
    double expectedAtHalf;
  };
  const Row rows[] = {{"linear", TimingMode::linear, 50},
                      {"easeIn", TimingMode::easeIn, 25},
                      {"easeOut", TimingMode::easeOut, 75},
                      {"easeInEaseOut", TimingMode::easeInEaseOut, 50}};
  for (const Row& row : rows) {
    node->setPosition({0, 0});
    node->run(Action::moveTo({100, 0}, 1.0).withTiming(row.timing));
    clock.advance(0.5);
    EXPECT_NEAR(node->position().x(), row.expectedAtHalf, 1e-9) << row.name;
    clock.advance(0.5);
    EXPECT_DOUBLE_EQ(node->position().x(), 100) << row.name;
  }
}

TEST_F(ActionTest, TimingOnACompositeWarpsItsChildren) {
  // Two linear halves under ease-in: at half time the warped time is a quarter.
  node->run(Action::sequence({Action::moveBy(50, 0, 0.5), Action::moveBy(50, 0, 0.5)})
                .withTiming(TimingMode::easeIn));
  clock.advance(0.5);
  EXPECT_NEAR(node->position().x(), 25, 1e-9);
  clock.advance(0.5);
  EXPECT_NEAR(node->position().x(), 100, 1e-9);
}

TEST_F(ActionTest, ZeroLengthStepsRunInOrderWithinOneFrame) {
  std::vector<int> order;
  node->run(Action::sequence({Action::run([&] { order.push_back(1); }), Action::wait(0),
                              Action::run([&] { order.push_back(2); }),
                              Action::moveTo({5, 5}, 0), Action::run([&] { order.push_back(3); })}));
  clock.step();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(node->position(), QPointF(5, 5));
  EXPECT_FALSE(node->hasActions());
}

TEST_F(ActionTest, LeftoverTimeCarriesIntoTheNextStep) {
  node->run(Action::sequence({Action::wait(0.0625), Action::moveBy(10, 0, 0.125)}));
  clock.step();  // 0.125: the wait ends halfway, the move has run half
  EXPECT_NEAR(node->position().x(), 5, 1e-9);
}

TEST_F(ActionTest, ByActionsAddUpAndToActionsStartWhereTheyFindTheNode) {
  node->run(Action::moveBy(10, 0, 1));
  node->run(Action::moveBy(0, 20, 1));
  clock.advance(1);
  EXPECT_NEAR(node->position().x(), 10, 1e-9);
  EXPECT_NEAR(node->position().y(), 20, 1e-9);
  node->run(Action::sequence({Action::wait(0.5), Action::rotateTo(1, 0.5)}));
  node->setZRotation(0.5);  // changed before the rotation starts: it starts from here
  clock.advance(0.75);
  EXPECT_NEAR(node->zRotation(), 0.75, 1e-9);
}

TEST_F(ActionTest, RepeatForeverRestartsToActionsFromTheCurrentValue) {
  node->run(Action::repeatForever(
      Action::sequence({Action::rotateTo(0.1, 0.25), Action::rotateTo(-0.1, 0.25)})));
  clock.advance(0.25);
  EXPECT_NEAR(node->zRotation(), 0.1, 1e-9);
  clock.advance(0.25);
  EXPECT_NEAR(node->zRotation(), -0.1, 1e-9);
  clock.advance(0.25);
  EXPECT_NEAR(node->zRotation(), 0.1, 1e-9);
  EXPECT_TRUE(node->hasActions());
}

TEST_F(ActionTest, CustomActionsGetAFinalCallAtTheirDuration) {
  std::vector<double> calls;
  node->run(Action::custom(0.25, [&](Node&, double elapsed) { calls.push_back(elapsed); }));
  clock.advance(0.3);
  ASSERT_FALSE(calls.empty());
  EXPECT_DOUBLE_EQ(calls.back(), 0.25);
}

TEST_F(ActionTest, AKeyHoldsOneRunAndRemovingTheKeyCancelsIt) {
  node->run(Action::moveBy(10, 0, 1), "motion");
  node->run(Action::moveBy(0, 10, 1), "motion");
  clock.advance(1);
  EXPECT_EQ(node->position(), QPointF(0, 10));
  node->run(Action::moveBy(10, 0, 1), "motion");
  clock.advance(0.5);
  node->removeAction("motion");
  clock.advance(0.5);
  EXPECT_NEAR(node->position().x(), 5, 1e-9);
  EXPECT_FALSE(node->hasAction("motion"));
}

TEST_F(ActionTest, AFinishingRunKeepsTheRunItsLastBlockStartedUnderItsKey) {
  node->run(Action::sequence({Action::wait(0.1), Action::run([this] {
                                node->run(Action::moveBy(10, 0, 1), "visit");
                              })}),
            "visit");
  clock.step();
  EXPECT_TRUE(node->hasAction("visit"));
  clock.advance(1);
  EXPECT_NEAR(node->position().x(), 10, 1e-9);
}

TEST_F(ActionTest, AnActionStartedDuringAStepBeginsAtTheNextFrame) {
  Node* other = new Node;
  scene.addChild(other);  // stepped after `node`
  node->run(Action::run([other] { other->run(Action::moveBy(10, 0, 0.1)); }));
  clock.step();
  EXPECT_EQ(other->position().x(), 0);
  clock.step();
  EXPECT_NEAR(other->position().x(), 10, 1e-9);
}

TEST_F(ActionTest, ABlockThatTearsTheSceneDownEndsTheFrame) {
  auto* owned = new Scene(QSizeF(10, 10));
  QPointer<Scene> guard(owned);
  Node* a = new Node;
  Node* b = new Node;
  owned->addChild(a);
  owned->addChild(b);
  a->run(Action::sequence({Action::run([owned] { owned->tearDown(); }),
                           Action::moveBy(5, 0, 0)}));
  b->run(Action::moveBy(5, 0, 0));
  ManualClock local(owned);
  local.step();
  EXPECT_TRUE(owned->isTornDown());
  EXPECT_EQ(a->position().x(), 0);
  EXPECT_EQ(b->position().x(), 0);
  EXPECT_FALSE(owned->step(0.1));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(guard.isNull());
}

TEST_F(ActionTest, ABlockMayRemoveItsOwnNode) {
  QPointer<Node> guard(node);
  node->run(Action::sequence({Action::removeFromParent(), Action::moveBy(5, 0, 0)}));
  clock.step();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(guard.isNull());
}

TEST_F(ActionTest, ADetachedNodeKeepsItsActionsButTheyDoNotRun) {
  Node* parent = new Node;
  Node* child = new Node;
  parent->addChild(child);
  child->run(Action::moveBy(10, 0, 1));
  clock.advance(1);  // not in the scene yet
  EXPECT_EQ(child->position().x(), 0);
  scene.addChild(parent);
  clock.advance(1);
  EXPECT_NEAR(child->position().x(), 10, 1e-9);
}

}  // namespace
}  // namespace vorlane
