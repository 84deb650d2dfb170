#include "ui/mascot/character/placeholder_character_node.h"

#include <gtest/gtest.h>

#include "tests/support/manual_clock.h"
#include "ui/scene/scene.h"

namespace vorlane {
namespace {

class PlaceholderTest : public testing::Test {
 protected:
  PlaceholderTest()
      : scene(QSizeF(300, 300)), clock(&scene, 1.0 / 64), figure(new PlaceholderCharacterNode) {
    figure->setPosition({150, 200});
    scene.addChild(figure);
  }
  Scene scene;
  ManualClock clock;
  PlaceholderCharacterNode* figure;
};

TEST_F(PlaceholderTest, DefaultFidgetIsAWaveExceptForTheSway) {
  EXPECT_EQ(figure->fidget(IdleFidget::sway), 0);
  EXPECT_FALSE(figure->hasAction(CharacterNode::attentionKey));
  EXPECT_EQ(figure->fidget(IdleFidget::kick), 0.7);
  EXPECT_TRUE(figure->hasAction(CharacterNode::attentionKey));
  clock.advance(0.2);
  EXPECT_NEAR(figure->zRotation(), -0.1, 1e-9);
  clock.advance(0.5);
  EXPECT_NEAR(figure->zRotation(), 0, 1e-9);
  EXPECT_FALSE(figure->hasAction(CharacterNode::attentionKey));
}

TEST_F(PlaceholderTest, StopWavingRightsTheNodeOnlyDuringAWave) {
  figure->setZRotation(0.3);
  figure->stopWaving();
  EXPECT_EQ(figure->zRotation(), 0.3);
  figure->wave();
  clock.advance(0.1);
  figure->stopWaving();
  EXPECT_EQ(figure->zRotation(), 0);
  EXPECT_FALSE(figure->hasAction(CharacterNode::attentionKey));
}

TEST_F(PlaceholderTest, OneMotionAtATime) {
  figure->startClimbing(true);
  figure->startClimbing(true);
  clock.advance(0.125);
  figure->removeAction(PlaceholderCharacterNode::motionKey);  // removes the only motion
  const double held = figure->zRotation();
  clock.advance(0.125);
  EXPECT_EQ(figure->zRotation(), held);
  EXPECT_GT(held, 0);
  figure->setLively(false);
  EXPECT_EQ(figure->zRotation(), 0);
  EXPECT_FALSE(figure->hasAction(PlaceholderCharacterNode::motionKey));
  figure->setZRotation(-0.02);
  figure->setLively(true);
  clock.advance(0.9);
  EXPECT_NEAR(figure->zRotation(), 0.05, 1e-9);
}

TEST_F(PlaceholderTest, JumpMovesTheContentAndComesBack) {
  figure->jumpAndShout();
  clock.advance(0.15625);
  EXPECT_GT(figure->content()->position().y(), -92 + 20);
  EXPECT_GT(figure->head()->xScale(), 1.0);
  clock.advance(0.25);
  EXPECT_NEAR(figure->content()->position().y(), -92, 1e-9);
  EXPECT_NEAR(figure->head()->xScale(), 1.0, 1e-9);
}

TEST_F(PlaceholderTest, HoldingTheSignChangesNothingAndTheHandIsTheContent) {
  const QImage before = scene.renderImage();
  figure->holdSign(true);
  EXPECT_EQ(scene.renderImage(), before);
  EXPECT_EQ(figure->signHand(), figure->content());
}

}  // namespace
}  // namespace vorlane
