#include "ui/scene/painted_areas.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegion>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/scene/scene.h"
#include "ui/scene/shape_node.h"

namespace vorlane {
namespace {

QRegion area(const QList<QRectF>& boxes) {
  QRegion region;
  for (const QRectF& box : boxes) region += box.toAlignedRect();
  return region;
}

// Two drawing shapes in a group, and a group of nothing that draws.
struct Stage {
  Stage() {
    group->addChild(dot);
    group->addChild(bar);
    dot->setPosition({20, 20});
    bar->setPosition({60, 50});
    for (ShapeNode* shape : {dot, bar}) shape->setFillColor(Rgba{1, 0, 0, 1});
    scene.addChild(group);
  }
  std::map<std::string, QRectF> boxes() const {
    std::map<std::string, QRectF> result{{"dot", dot->sceneBoundingRect()},
                                         {"bar", bar->sceneBoundingRect()}};
    if (extra != nullptr) result["extra"] = extra->sceneBoundingRect();
    return result;
  }

  Scene scene{QSizeF(100, 100)};
  Node* group = new Node;
  ShapeNode* dot = new ShapeNode(ShapeNode::circle(5));
  ShapeNode* bar = new ShapeNode(ShapeNode::roundedRect(30, 4, 1));
  ShapeNode* extra = nullptr;
};

TEST(PaintedAreas, EveryChangeCountsWithTheBoxItHadAndTheBoxItHas) {
  struct Row {
    const char* name;
    std::function<void(Stage&)> change;
    std::vector<std::string> before;  // boxes the nodes had
    std::vector<std::string> after;   // boxes they have
  };
  const Row rows[] = {
      {"nothing changed", [](Stage&) {}, {}, {}},
      {"a node moved",
       [](Stage& s) {
         s.dot->setPosition({30, 25});
       },
       {"dot"},
       {"dot"}},
      {"a node turned", [](Stage& s) { s.bar->setZRotation(0.3); }, {"bar"}, {"bar"}},
      {"its group moved, which draws nothing",
       [](Stage& s) {
         s.group->setPosition({5, -10});
       },
       {"dot", "bar"},
       {"dot", "bar"}},
      {"its group faded", [](Stage& s) { s.group->setAlpha(0.4); }, {"dot", "bar"}, {}},
      {"its drawing changed in place",
       [](Stage& s) {
         s.dot->setFillColor(Rgba{0, 0, 1, 1});
       },
       {"dot"},
       {}},
      {"its path changed within the same box",
       [](Stage& s) { s.bar->setPath(ShapeNode::roundedRect(30, 4, 2)); },
       {"bar"},
       {}},
      {"it was hidden", [](Stage& s) { s.dot->setHidden(true); }, {"dot"}, {}},
      {"it went", [](Stage& s) { s.bar->removeFromParent(); }, {"bar"}, {}},
      {"it came in front", [](Stage& s) { s.dot->setZPosition(2); }, {"dot"}, {}},
      {"a node came",
       [](Stage& s) {
         s.extra = new ShapeNode(ShapeNode::circle(3));
         s.extra->setFillColor(Rgba{0, 1, 0, 1});
         s.extra->setPosition({80, 80});
         s.group->addChild(s.extra);
       },
       {},
       {"extra"}},
  };
  for (const Row& row : rows) {
    Stage stage;
    PaintedAreas areas;
    areas.take(*stage.scene.root());
    const auto before = stage.boxes();
    row.change(stage);
    const auto after = stage.boxes();
    QRegion expected;
    for (const auto& name : row.before) expected += before.at(name).toAlignedRect();
    for (const auto& name : row.after) expected += after.at(name).toAlignedRect();
    const QRegion changed = area(areas.changedSince(*stage.scene.root()));
    EXPECT_TRUE(changed.xored(expected).isEmpty()) << row.name;
    EXPECT_TRUE(areas.changedSince(*stage.scene.root()).isEmpty())
        << row.name << ": taken as drawn once reported";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST(PaintedAreas, FirstTakesEveryDrawingNodeAndAgainAfterForgetting) {
  Stage stage;
  PaintedAreas areas;
  const QRegion all = QRegion(stage.dot->sceneBoundingRect().toAlignedRect()) +
                      stage.bar->sceneBoundingRect().toAlignedRect();
  EXPECT_TRUE(area(areas.changedSince(*stage.scene.root())).xored(all).isEmpty());
  areas.forget();
  EXPECT_TRUE(area(areas.changedSince(*stage.scene.root())).xored(all).isEmpty());
  areas.forget();
  areas.take(*stage.scene.root());
  EXPECT_TRUE(areas.changedSince(*stage.scene.root()).isEmpty());
}

}  // namespace
}  // namespace vorlane
