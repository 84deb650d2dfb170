#include "ui/mascot/scene/billboard_node.h"

#include <gtest/gtest.h>

#include "tests/support/manual_clock.h"
#include "ui/scene/scene.h"

namespace vorlane {
namespace {

class BillboardNodeTest : public testing::Test {
 protected:
  BillboardNodeTest() : scene(QSizeF(300, 300)), clock(&scene), board(new BillboardNode) {
    scene.addChild(board);
    board->setPosition({150, 150});
  }

  Scene scene;
  ManualClock clock;
  BillboardNode* board;
};

TEST_F(BillboardNodeTest, ANewBoardIsInvisibleLightAndPostedStraightDown) {
  EXPECT_EQ(board->alpha(), 0);
  EXPECT_EQ(board->postTarget(), QPointF(0, -60));
  EXPECT_EQ(board->board()->fillColor(), MascotTheme::light().boardFill);
  EXPECT_EQ(board->post()->fillColor(), MascotTheme::light().boardStroke);
  EXPECT_FALSE(board->post()->strokeColor().has_value());
  EXPECT_EQ(board->board()->path().boundingRect(), QRectF(-90, -44, 180, 88));
  // The post is drawn first, so the board hides its upper end.
  EXPECT_EQ(board->children().front(), board->post());
}

TEST_F(BillboardNodeTest, ShowPopsInOnceAndHideCancelsIt) {
  board->show();
  EXPECT_EQ(board->xScale(), 0.8);
  clock.advance(0.3);
  EXPECT_EQ(board->alpha(), 1);
  EXPECT_EQ(board->xScale(), 1);

  board->setScale(1.1);
  board->show();  // already fully visible: nothing starts, the scale stays
  EXPECT_FALSE(board->hasActions());
  EXPECT_EQ(board->xScale(), 1.1);

  board->setAlpha(0);
  board->show();
  clock.advance(0.1);
  board->hide();  // mid-appearance
  clock.advance(0.25);
  EXPECT_EQ(board->alpha(), 0);
  EXPECT_EQ(board->xScale(), 1);
}

TEST_F(BillboardNodeTest, ThePostIsRebuiltOnlyWhenItsTargetMoves) {
  const int built = board->postBuilds();
  board->setPostTarget({10, -80});
  board->setPostTarget({10, -80});
  EXPECT_EQ(board->postBuilds(), built + 1);
  board->setPostTarget({11, -80});
  EXPECT_EQ(board->postBuilds(), built + 2);
  // A filled outline 5 wide around the line from the board's bottom to the target.
  const QRectF outline = board->post()->path().boundingRect();
  EXPECT_NEAR(outline.bottom(), -42 + 2.5, 0.01);
  EXPECT_NEAR(outline.top(), -80 - 2.5, 0.01);
  EXPECT_EQ(board->post()->path().fillRule(), Qt::WindingFill);
}

TEST_F(BillboardNodeTest, TextsChangeOnlyWhenTheyDifferAndLongCaptionsEndInAnEllipsis) {
  board->update("24:59", "Write the report");
  EXPECT_EQ(board->time(), "24:59");
  EXPECT_EQ(board->caption(), "Write the report");
  board->update("24:59", "Write the report and then answer every message that came in overnight");
  const QStringList lines = board->captionLabel()->lines();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines.back().endsWith(QChar(0x2026)));
  EXPECT_LE(board->captionLabel()->textSize().width(), 160);
}

TEST_F(BillboardNodeTest, ThemeColoursEveryPart) {
  const MascotTheme& dark = MascotTheme::dark();
  board->applyTheme(dark);
  EXPECT_EQ(board->board()->fillColor(), dark.boardFill);
  EXPECT_EQ(board->board()->strokeColor(), dark.boardStroke);
  EXPECT_EQ(board->post()->fillColor(), dark.boardStroke);
  EXPECT_EQ(board->timeLabel()->fontColor(), dark.boardInk);
  EXPECT_EQ(board->captionLabel()->fontColor(), dark.boardCaption);
}

}  // namespace
}  // namespace vorlane
