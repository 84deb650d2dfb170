#include "ui/scene/action.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>
#include <vector>

#include "tests/support/manual_clock.h"
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

TEST_F(ActionTest, TimingModesWarpTheProgressOfSimpleAndCompositeActions) {
  const Action halves = Action::sequence({Action::moveBy(50, 0, 0.5), Action::moveBy(50, 0, 0.5)});
  struct Row {
    const char* name;
    Action action;
    double expectedAtHalf;
  };
  const Row rows[] = {
      {"linear", Action::moveBy(100, 0, 1.0).withTiming(TimingMode::linear), 50},
      {"easeIn", Action::moveBy(100, 0, 1.0).withTiming(TimingMode::easeIn), 25},
      {"easeOut", Action::moveBy(100, 0, 1.0).withTiming(TimingMode::easeOut), 75},
      {"easeInEaseOut", Action::moveBy(100, 0, 1.0).withTiming(TimingMode::easeInEaseOut), 50},
      {"easeIn over a sequence warps its children", halves.withTiming(TimingMode::easeIn), 25},
  };
  for (const Row& row : rows) {
    node->setPosition({0, 0});
    node->run(row.action);
    clock.advance(0.5);
    EXPECT_NEAR(node->position().x(), row.expectedAtHalf, 1e-9) << row.name;
    clock.advance(0.5);
    EXPECT_NEAR(node->position().x(), 100, 1e-9) << row.name;
  }
}

TEST_F(ActionTest, ZeroLengthStepsRunInOrderAndLeftoverTimeCarriesOn) {
  std::vector<int> order;
  node->run(Action::sequence({Action::run([&] { order.push_back(1); }), Action::wait(0),
                              Action::run([&] { order.push_back(2); }), Action::moveTo({5, 5}, 0),
                              Action::run([&] { order.push_back(3); })}));
  clock.step();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(node->position(), QPointF(5, 5));
  EXPECT_FALSE(node->hasActions());

  node->run(Action::sequence({Action::wait(0.0625), Action::moveBy(10, 0, 0.125)}));
  clock.step();  // 0.125: the wait ends halfway, the move has run half
  EXPECT_NEAR(node->position().x(), 10, 1e-9);
}

TEST_F(ActionTest, ByActionsAddUpToActionsStartFromTheCurrentValue) {
  node->run(Action::moveBy(10, 0, 1));
  node->run(Action::moveBy(0, 20, 1));
  clock.advance(1);
  EXPECT_EQ(node->position(), QPointF(10, 20));
  node->run(Action::sequence({Action::wait(0.5), Action::rotateTo(1, 0.5)}));
  node->setZRotation(0.5);  // changed before the rotation starts: it starts from here
  clock.advance(0.75);
  EXPECT_NEAR(node->zRotation(), 0.75, 1e-9);
  clock.advance(0.25);
  // Repeated forever, a to-action restarts from where the last run left the node.
  node->run(Action::repeatForever(
      Action::sequence({Action::rotateTo(0.1, 0.25), Action::rotateTo(-0.1, 0.25)})));
  for (double expected : {0.1, -0.1, 0.1}) {
    clock.advance(0.25);
    EXPECT_NEAR(node->zRotation(), expected, 1e-9);
  }
  EXPECT_TRUE(node->hasActions());
}

TEST_F(ActionTest, CustomActionsGetAFinalCallAtTheirDuration) {
  std::vector<double> calls;
  node->run(Action::custom(0.25, [&](Node&, double elapsed) { calls.push_back(elapsed); }));
  clock.advance(0.3);
  ASSERT_FALSE(calls.empty());
  EXPECT_DOUBLE_EQ(calls.back(), 0.25);
}

TEST_F(ActionTest, AKeyHoldsOneRunRemovingItCancelsAndAFinishingRunKeepsItsSuccessor) {
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

  // The run its last block started under the same key survives the end of the old one.
  node->run(Action::sequence({Action::wait(0.1), Action::run([this] {
                                node->run(Action::moveBy(10, 0, 1), "visit");
                              })}),
            "visit");
  clock.step();
  EXPECT_TRUE(node->hasAction("visit"));
  clock.advance(1);
  EXPECT_NEAR(node->position().x(), 15, 1e-9);
}

TEST_F(ActionTest, ActionsRunOnlyInTheSceneAndFromTheFrameAfterTheyStart) {
  Node* parent = new Node;
  Node* child = new Node;
  parent->addChild(child);
  child->run(Action::moveBy(10, 0, 1));
  clock.advance(1);  // not in the scene yet
  EXPECT_EQ(child->position().x(), 0);
  scene.addChild(parent);  // stepped after `node`
  clock.advance(1);
  EXPECT_NEAR(child->position().x(), 10, 1e-9);

  node->run(Action::run([child] { child->run(Action::moveBy(10, 0, 0.1)); }));
  clock.step();
  EXPECT_NEAR(child->position().x(), 10, 1e-9);
  clock.step();
  EXPECT_NEAR(child->position().x(), 20, 1e-9);
}

TEST_F(ActionTest, ABlockMayTearTheSceneDownOrRemoveItsOwnNode) {
  auto* owned = new Scene(QSizeF(10, 10));
  QPointer<Scene> sceneGuard(owned);
  Node* a = new Node;
  Node* b = new Node;
  owned->addChild(a);
  owned->addChild(b);
  a->run(Action::sequence({Action::run([owned] { owned->tearDown(); }), Action::moveBy(5, 0, 0)}));
  b->run(Action::moveBy(5, 0, 0));
  ManualClock(owned).step();
  EXPECT_TRUE(owned->isTornDown());  // and the frame ends there
  EXPECT_EQ(a->position().x(), 0);
  EXPECT_EQ(b->position().x(), 0);
  EXPECT_FALSE(owned->step(0.1));

  QPointer<Node> nodeGuard(node);
  node->run(Action::sequence({Action::removeFromParent(), Action::moveBy(5, 0, 0)}));
  clock.step();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(sceneGuard.isNull());
  EXPECT_TRUE(nodeGuard.isNull());
}

}  // namespace
}  // namespace vorlane
