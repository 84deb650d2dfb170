#include "ui/scene/part_motion.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ui/scene/scene.h"
#include "ui/scene/shape_node.h"

namespace vorlane {
namespace {

TEST(PartMotion, LargestShiftIsTheFarthestEdgeAndAnyOtherChangeIsLarge) {
  const PartBox a{QRectF(0, 0, 10, 10), 1};
  const PartBox b{QRectF(50, 50, 4, 4), 1};
  struct Row {
    const char* name;
    std::vector<PartBox> before, after;
    double expected;
  };
  const Row rows[] = {
      {"nothing moved", {a, b}, {a, b}, 0},
      {"a part slid", {a, b}, {a, {QRectF(50.25, 49.5, 4, 4), 1}}, 0.5},
      {"a part grew at one edge", {a, b}, {{QRectF(0, 0, 10, 12), 1}, b}, 2},
      {"the farthest of two", {a, b}, {{QRectF(0.1, 0, 10, 10), 1}, {QRectF(50, 50, 4, 3), 1}}, 1},
      {"a part appeared", {a}, {a, b}, PartMotion::changed},
      {"a part vanished", {a, b}, {b}, PartMotion::changed},
      {"a part faded", {a, b}, {a, {b.box, 0.9}}, PartMotion::changed},
      {"a faint flicker is no change", {a, b}, {a, {b.box, 0.995}}, 0},
  };
  for (const Row& row : rows) {
    EXPECT_DOUBLE_EQ(PartMotion::largestShift(row.before, row.after), row.expected) << row.name;
  }
}

TEST(PartMotion, SamplesTheDrawnPartsOfASceneInScenePoints) {
  Scene scene(QSizeF(100, 100));
  auto* group = new Node;  // draws nothing: not a part
  auto* arm = new ShapeNode(ShapeNode::roundedRect(10, 2, 0));
  arm->setFillColor(Rgba{1, 0, 0, 1});
  group->addChild(arm);
  scene.addChild(group);
  group->setPosition({50, 50});
  PartMotion motion;
  EXPECT_EQ(motion.sample(scene), PartMotion::changed) << "nothing to compare the first with";
  EXPECT_DOUBLE_EQ(motion.sample(scene), 0);
  group->setPosition({50.5, 50});
  EXPECT_NEAR(motion.sample(scene), 0.5, 1e-9) << "a parent's move moves its parts";
  // A quarter turn about the centre: the 12 x 4 box (grown by a point for the edge) stands
  // up as 4 x 12, so its edges move by 4 points.
  arm->setZRotation(M_PI / 2);
  EXPECT_NEAR(motion.sample(scene), 4, 1e-9);
  arm->setHidden(true);
  EXPECT_EQ(motion.sample(scene), PartMotion::changed);
  motion.reset();
  EXPECT_EQ(motion.sample(scene), PartMotion::changed);
}

}  // namespace
}  // namespace vorlane
