#include "ui/mascot/character/monkey_character_node.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QRegularExpression>

#include "tests/support/manual_clock.h"
#include "ui/mascot/character/character_factory.h"
#include "ui/mascot/scene/mascot_scene.h"
#include "ui/scene/scene.h"

namespace vorlane {
namespace {

using Monkey = MonkeyCharacterNode;

constexpr double frame = 1.0 / 64;  // exact in binary, so step counts land on the Part's times

std::vector<Node*> nodes(std::initializer_list<Node*> list) { return list; }

// Every key the monkey can run, and which of them run now (monkey, then tail, then head).
QStringList runningKeys(const Monkey& m) {
  QStringList out;
  for (const QString& key :
       {Monkey::idleKey, Monkey::climbKey, Monkey::bobKey, Monkey::settleKey, Monkey::celebrateKey,
        CharacterNode::attentionKey, Monkey::fidgetKey}) {
    if (m.hasAction(key)) out << key;
  }
  if (m.tail()->hasAction(Monkey::tailKey)) out << "tail:" + Monkey::tailKey;
  if (m.head()->hasAction(Monkey::fidgetKey)) out << "head:" + Monkey::fidgetKey;
  return out;
}

class MonkeyTest : public testing::Test {
 protected:
  MonkeyTest() : scene(QSizeF(200, 240)), clock(&scene, frame), monkey(new Monkey) {
    monkey->setPosition({100, 200});
    scene.addChild(monkey);
  }

  QPointF hand(ShapeNode* arm) const { return arm->childNode(Monkey::handName)->position(); }
  void expectArms(QPointF left, QPointF right) const {
    EXPECT_EQ(monkey->limbEnd(monkey->leftArm()), left);
    EXPECT_EQ(hand(monkey->leftArm()), left);
    EXPECT_EQ(monkey->limbEnd(monkey->rightArm()), right);
    EXPECT_EQ(hand(monkey->rightArm()), right);
  }
  void expectLegs(QPointF left, QPointF right) const {
    EXPECT_EQ(monkey->limbEnd(monkey->leftLeg()), left);
    EXPECT_EQ(monkey->limbEnd(monkey->rightLeg()), right);
  }

  Scene scene;
  ManualClock clock;
  QPointer<Monkey> monkey;
};

TEST_F(MonkeyTest, PartsSitWhereDrawnAndDrawInOrder) {
  Monkey& m = *monkey;
  EXPECT_EQ(m.identifier(), "monkey");
  EXPECT_EQ(m.displayName(), "Monkey");
  EXPECT_EQ(m.content()->position(), QPointF(0, -92));
  EXPECT_EQ(m.children(), nodes({m.content()}));
  EXPECT_EQ(m.content()->children(), nodes({m.tail(), m.leftLeg(), m.rightLeg(), m.torso(),
                                            m.leftArm(), m.rightArm(), m.head()}));
  EXPECT_EQ(m.head()->children(), nodes({m.leftEar(), m.rightEar(), m.headShape(), m.muzzle(),
                                         m.mouth(), m.leftEye(), m.rightEye()}));
  const struct {
    Node* node;
    QPointF at;
    QRectF box;  // the path's box in the node's own space
  } rows[] = {
      {m.head(), {0, 56}, {}},
      {m.headShape(), {0, 0}, {-21, -21, 42, 42}},
      {m.leftEar(), {-19, 4}, {-8, -8, 16, 16}},
      {m.rightEar(), {19, 4}, {-8, -8, 16, 16}},
      {m.muzzle(), {0, -7}, {-13, -9.5, 26, 19}},
      {m.mouth(), {0, -10}, {-5, -3, 10, 6}},
      {m.leftEye(), {-7, 6}, {-3, -3, 6, 6}},
      {m.rightEye(), {7, 6}, {-3, -3, 6, 6}},
      {m.torso(), {0, 0}, {-19, -6, 38, 54}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.node->position(), row.at) << row.node->position().x();
    if (auto* shape = dynamic_cast<ShapeNode*>(row.node)) {
      EXPECT_EQ(shape->path().boundingRect(), row.box);
      EXPECT_FALSE(shape->strokeColor());
    }
  }
  EXPECT_EQ(m.mouth()->yScale(), 0.35);
  // The single children: tummy in the torso, inner ears, hands.
  ASSERT_EQ(m.torso()->children().size(), 1u);
  auto* tummy = static_cast<ShapeNode*>(m.torso()->children()[0]);
  EXPECT_EQ(tummy->position(), QPointF(0, 16));
  EXPECT_EQ(tummy->path().boundingRect(), QRectF(-12, -17, 24, 34));
  EXPECT_EQ(tummy->fillColor(), Monkey::Palette::face.withAlpha(0.85));
  for (ShapeNode* ear : {m.leftEar(), m.rightEar()}) {
    ASSERT_EQ(ear->children().size(), 1u);
    EXPECT_EQ(static_cast<ShapeNode*>(ear->children()[0])->path().boundingRect(),
              QRectF(-4.5, -4.5, 9, 9));
  }
  // The tail: the only stroked part, a curve from (10, 2) to (30, 34).
  EXPECT_EQ(m.tail()->strokeColor(), Monkey::Palette::furDark);
  EXPECT_EQ(m.tail()->lineWidth(), 6);
  EXPECT_FALSE(m.tail()->fillColor());
  EXPECT_EQ(m.tail()->path().elementAt(0), QPointF(10, 2));
  EXPECT_EQ(m.tail()->path().currentPosition(), QPointF(30, 34));
}

TEST_F(MonkeyTest, ANewMonkeyHangsFromItsUpperHandAndSways) {
  // The upper hand is the node's own origin: the rope's grip.
  EXPECT_EQ(monkey->content()->mapToParent(hand(monkey->leftArm())), QPointF(0, 0));
  expectArms({0, 92}, {19, 16});
  expectLegs({-17, -20}, {17, -20});
  EXPECT_FALSE(monkey->isHoldingSign());
  EXPECT_EQ(runningKeys(*monkey), QStringList({"idle", "tail:tail"}));
  // The sway eases over the whole swing: a quarter of the way in time is 5/16 of the angle.
  clock.advance(0.55);
  EXPECT_NEAR(monkey->zRotation(), 0.035 * 0.3125, 1e-9);
  clock.advance(0.55);
  EXPECT_NEAR(monkey->zRotation(), 0.035, 1e-9);
  // The limb outline is a 9-wide rounded stroke of the shoulder-to-hand line.
  const QRectF leg = monkey->leftLeg()->path().boundingRect();
  for (auto [got, want] : {std::pair{leg.left(), -21.5},
                           {leg.right(), -5.5},
                           {leg.top(), -24.5},
                           {leg.bottom(), 8.5}}) {
    EXPECT_NEAR(got, want, 0.01);  // round caps are drawn as curves
  }
  EXPECT_TRUE(monkey->leftLeg()->children().empty());
  const std::unique_ptr<CharacterNode> made(makeMascotCharacter());
  ASSERT_NE(dynamic_cast<Character*>(made.get()), nullptr);
  EXPECT_EQ(dynamic_cast<Character*>(made.get())->identifier(), "monkey");
}

TEST_F(MonkeyTest, TintRecoloursFurAndDarkensLimbsButNotTheFace) {
  const Rgba blue{0.2, 0.4, 0.8, 1};
  const Rgba blueDark{0.2 * 0.76, 0.4 * 0.76, 0.8 * 0.76, 1};
  const struct {
    std::optional<Rgba> tint;
    Rgba body;
    Rgba dark;
  } rows[] = {
      {blue, blue, blueDark},
      {std::nullopt, Monkey::Palette::fur, Monkey::Palette::furDark},  // untinting restores
  };
  for (const auto& row : rows) {
    monkey->setTintColor(row.tint);
    for (ShapeNode* part :
         {monkey->torso(), monkey->headShape(), monkey->leftEar(), monkey->rightEar()}) {
      EXPECT_EQ(part->fillColor(), row.body);
    }
    for (ShapeNode* limb :
         {monkey->leftArm(), monkey->rightArm(), monkey->leftLeg(), monkey->rightLeg()}) {
      const Rgba dark = *limb->fillColor();
      EXPECT_NEAR(dark.red, row.dark.red, 1e-12);
      EXPECT_NEAR(dark.green, row.dark.green, 1e-12);
      EXPECT_NEAR(dark.blue, row.dark.blue, 1e-12);
      EXPECT_EQ(dark.alpha, 1);
    }
    EXPECT_EQ(monkey->tail()->strokeColor(), monkey->leftLeg()->fillColor());
    EXPECT_EQ(monkey->muzzle()->fillColor(), Monkey::Palette::face);
    EXPECT_EQ(monkey->mouth()->fillColor(), Monkey::Palette::mouth);
    EXPECT_EQ(monkey->leftEye()->fillColor(), Monkey::Palette::eye);
    EXPECT_EQ(static_cast<ShapeNode*>(monkey->signHand())->fillColor(), Monkey::Palette::face);
    EXPECT_EQ(static_cast<ShapeNode*>(monkey->torso()->children()[0])->fillColor(),
              Monkey::Palette::face.withAlpha(0.85));
    EXPECT_EQ(static_cast<ShapeNode*>(monkey->leftEar()->children()[0])->fillColor(),
              Monkey::Palette::face);
  }
  EXPECT_EQ(Monkey::defaultFurColor(), (Rgba{0.44, 0.30, 0.21, 1}));
}

TEST_F(MonkeyTest, TheSignHangsFromTheLeftHandOutToTheSide) {
  Node* signHand = monkey->signHand();
  EXPECT_EQ(signHand, monkey->leftArm()->childNode(Monkey::handName));
  monkey->holdSign(true);
  EXPECT_EQ(monkey->signHand(), signHand);
  EXPECT_EQ(signHand->position(), QPointF(-38, 30));
  expectArms({-38, 30}, {0, 92});
  monkey->startIdling();  // later poses follow the sign
  expectArms({-38, 30}, {0, 92});
  monkey->holdSign(false);
  expectArms({0, 92}, {19, 16});
}

TEST_F(MonkeyTest, EachCallLeavesItsKeysRunning) {
  const struct {
    const char* call;
    std::function<void(Monkey&)> act;
    QStringList keys;
  } rows[] = {
      {"climb down", [](Monkey& m) { m.startClimbing(true); }, {"climb", "bob", "tail:tail"}},
      {"sign on the rope", [](Monkey& m) { m.holdSign(true); }, {"bob", "tail:tail"}},
      {"climb up", [](Monkey& m) { m.startClimbing(false); }, {"climb", "bob", "tail:tail"}},
      {"stop climbing", [](Monkey& m) { m.stopClimbing(); }, {"tail:tail"}},
      {"idle", [](Monkey& m) { m.startIdling(); }, {"idle", "tail:tail"}},
      {"wave", [](Monkey& m) { m.wave(); }, {"idle", "attention", "tail:tail"}},
      {"calm", [](Monkey& m) { m.setLively(false); }, {"settle"}},
      {"celebrate", [](Monkey& m) { m.celebrate(); }, {"celebrate", "tail:tail"}},
      {"lively", [](Monkey& m) { m.setLively(true); }, {"idle", "celebrate", "tail:tail"}},
      {"calm again", [](Monkey& m) { m.setLively(false); }, {"settle"}},
      {"look around",
       [](Monkey& m) { m.fidget(IdleFidget::lookAround); },
       {"settle", "head:fidget"}},
      {"swing", [](Monkey& m) { m.fidget(IdleFidget::swing); }, {"settle", "fidget"}},
      {"calm stops fidgets", [](Monkey& m) { m.setLively(false); }, {"settle"}},
  };
  for (const auto& row : rows) {
    row.act(*monkey);
    EXPECT_EQ(runningKeys(*monkey), row.keys) << row.call;
  }
  EXPECT_EQ(monkey->tailCurve(), 3);
  clock.advance(0.2);  // the unkeyed settling of "stop climbing" ends too
  monkey->setZRotation(0.2);
  monkey->setLively(false);
  clock.advance(0.09);  // settling is linear: halfway in half its 0.18 s
  EXPECT_NEAR(monkey->zRotation(), 0.1, 1e-9);
  clock.advance(0.09);
  EXPECT_NEAR(monkey->zRotation(), 0, 1e-9);
  EXPECT_EQ(monkey->tailCurve(), 3);
}

TEST_F(MonkeyTest, ClimbingSwapsHandsEveryStepAndBobs) {
  const struct {
    bool descending;
    double step;
  } rows[] = {{false, 0.32}, {true, 0.26}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.step);
    monkey->startClimbing(row.descending);
    clock.step();  // the first step shows at once
    expectArms({0, 92}, {0, 68});
    expectLegs({-17, -20}, {13, -24});
    clock.advance(row.step);
    expectArms({0, 68}, {0, 92});
    expectLegs({-13, -24}, {17, -20});
    clock.advance(row.step);
    expectArms({0, 92}, {0, 68});
    // The tail swings once every four steps: at a quarter cycle it is fully out.
    monkey->startClimbing(row.descending);
    clock.advance(row.step - frame / 2);
    EXPECT_NEAR(monkey->tailCurve(), 7, 0.05);
    EXPECT_NEAR(monkey->zRotation(), 0.05, 0.005);
    clock.advance(frame / 2);
    EXPECT_NEAR(monkey->zRotation(), 0.05, 1e-9);
  }
  const QPointF left = monkey->limbEnd(monkey->leftArm());
  const QPointF right = monkey->limbEnd(monkey->rightArm());
  monkey->stopClimbing();
  clock.advance(0.15);
  EXPECT_NEAR(monkey->zRotation(), 0, 1e-9);
  expectArms(left, right);  // the limbs keep the last step
  EXPECT_NE(left, right);
}

TEST_F(MonkeyTest, FidgetsLastWhatTheyReturnAndRestoreThePose) {
  const struct {
    IdleFidget kind;
    double seconds;
    double movesFor;  // until the last keyed action ends
  } rows[] = {
      {IdleFidget::sway, 0, 0},
      {IdleFidget::lookAround, 1.9, 1.9},
      {IdleFidget::scratchHead, 1.4, 1.3},
      {IdleFidget::wave, 1.2, 1.2},
      {IdleFidget::kick, 1.25, 1.2},
      {IdleFidget::swing, 1.8, 1.75},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(int(row.kind.value()));
    monkey->setLively(true);
    clock.advance(1);
    EXPECT_EQ(monkey->fidget(row.kind), row.seconds);
    if (row.movesFor > 0) {
      clock.advance(row.movesFor - 2 * frame);
      EXPECT_FALSE(runningKeys(*monkey).filter(QRegularExpression("fidget|attention")).isEmpty());
    }
    clock.advance(4 * frame);
    EXPECT_TRUE(runningKeys(*monkey).filter(QRegularExpression("fidget|attention")).isEmpty());
    EXPECT_TRUE(monkey->hasAction(Monkey::idleKey));
    EXPECT_EQ(monkey->head()->zRotation(), 0);
    expectArms({0, 92}, {19, 16});
    expectLegs({-17, -20}, {17, -20});
  }
}

TEST_F(MonkeyTest, ANewFidgetCutsTheRunningOneShort) {
  monkey->holdSign(true);
  monkey->fidget(IdleFidget::scratchHead);
  clock.advance(0.5);
  EXPECT_LT(monkey->head()->zRotation(), -0.1);
  EXPECT_EQ(monkey->limbEnd(monkey->rightArm()).x(), 20);
  monkey->fidget(IdleFidget::lookAround);
  EXPECT_EQ(monkey->head()->zRotation(), 0);
  expectArms({-38, 30}, {0, 92});
  EXPECT_FALSE(monkey->hasAction(Monkey::fidgetKey));
  // A cut-short swing keeps its angle and leaves idling off.
  monkey->fidget(IdleFidget::swing);
  clock.advance(0.4);
  EXPECT_NEAR(monkey->zRotation(), -0.18, 1e-9);
  EXPECT_EQ(monkey->fidget(IdleFidget::sway), 0);
  clock.advance(0.5);
  EXPECT_NEAR(monkey->zRotation(), -0.18, 1e-9);
  EXPECT_FALSE(monkey->hasAction(Monkey::idleKey));
}

TEST_F(MonkeyTest, WavingSwingsTheRightHandAndStoppingRestoresThePose) {
  monkey->stopWaving();  // nothing runs: the arms stay put
  monkey->holdSign(true);
  monkey->wave();
  clock.advance(0.1);  // sin(0.5 pi): the hand is out at 42
  EXPECT_NEAR(monkey->limbEnd(monkey->rightArm()).x(), 42, 1e-9);
  EXPECT_EQ(monkey->limbEnd(monkey->rightArm()).y(), 78);
  monkey->stopWaving();
  expectArms({-38, 30}, {0, 92});
  EXPECT_FALSE(monkey->hasAction(CharacterNode::attentionKey));
  monkey->holdSign(false);
  monkey->wave();
  clock.advance(1.2 + frame);
  expectArms({0, 92}, {19, 16});
}

TEST_F(MonkeyTest, JumpEndsIdlingButCelebrationWaitsForTheScene) {
  monkey->jumpAndShout();
  EXPECT_EQ(monkey->limbEnd(monkey->rightArm()), QPointF(30, 78));
  EXPECT_TRUE(monkey->hasAction(Monkey::idleKey));  // the sway keeps going
  clock.advance(0.1);
  EXPECT_GT(monkey->content()->position().y(), -92 + 20);
  clock.advance(0.04);
  EXPECT_NEAR(monkey->mouth()->yScale(), 1.6, 1e-9);
  clock.advance(0.8);
  EXPECT_NEAR(monkey->content()->position().y(), -92, 1e-9);
  expectArms({0, 92}, {19, 16});
  EXPECT_TRUE(monkey->hasAction(Monkey::idleKey));

  monkey->celebrate();
  clock.advance(0.42);
  EXPECT_NEAR(monkey->zRotation(), -0.42, 1e-9);
  clock.advance(2.6);
  EXPECT_NEAR(monkey->zRotation(), 0, 1e-9);
  EXPECT_NEAR(monkey->content()->position().y(), -92, 1e-9);
  EXPECT_NEAR(monkey->mouth()->yScale(), 0.35, 1e-9);
  EXPECT_EQ(monkey->tailCurve(), 3);
  EXPECT_TRUE(runningKeys(*monkey).isEmpty());
  EXPECT_EQ(monkey->limbEnd(monkey->rightArm()), QPointF(30, 78));  // up until the next pose
}

TEST(MonkeyInTheScene, TakesTheUsersFurAndHoldsTheSignFromItsLeftHand) {
  MascotScene scene(QSizeF(340, 600), makeMascotCharacter());
  auto* monkey = dynamic_cast<Monkey*>(scene.character());
  ASSERT_NE(monkey, nullptr);
  MascotAppearance appearance;
  appearance.monkeyColor = MascotColor(0.5, 0.5, 0.5);
  scene.applyAppearance(appearance);
  EXPECT_EQ(monkey->torso()->fillColor(), (Rgba{0.5, 0.5, 0.5, 1}));
  scene.applyAppearance(MascotAppearance());
  EXPECT_EQ(monkey->torso()->fillColor(), Monkey::Palette::fur);

  scene.arrangeSessionPose(0.5, "16:24", "Your next step");
  EXPECT_TRUE(monkey->isHoldingSign());
  // The post ends at the left hand, out to the side: (-38, 30) in content space.
  const QPointF hand = scene.characterPosition() + 0.72 * (QPointF(-38, 30) + QPointF(0, -92));
  ASSERT_TRUE(scene.billboard()->postTarget());
  const QPointF post = *scene.billboard()->postTarget() + scene.billboard()->position();
  EXPECT_NEAR(post.x(), hand.x(), 1e-9);
  EXPECT_NEAR(post.y(), hand.y(), 1e-9);
}

bool near(QRgb pixel, const Rgba& c) {
  const QColor want = c.toQColor();
  return qAlpha(pixel) == 255 && std::abs(qRed(pixel) - want.red()) <= 2 &&
         std::abs(qGreen(pixel) - want.green()) <= 2 && std::abs(qBlue(pixel) - want.blue()) <= 2;
}

TEST_F(MonkeyTest, RendersThePaletteAtScaleOne) {
  const QImage image = scene.renderImage();
  // Content-space point to image pixel: the monkey's origin is (100, 200), y up.
  auto at = [&](double x, double y) {
    return image.pixel(int(100 + x), int(240 - (200 - 92 + y)));
  };
  const Rgba tummy = Monkey::Palette::fur.blended(0.85, Monkey::Palette::face);
  const struct {
    const char* where;
    QPointF point;
    Rgba color;
  } rows[] = {
      {"head", {0, 71}, Monkey::Palette::fur},
      {"muzzle", {8, 49}, Monkey::Palette::face},
      {"tummy", {0, 16}, tummy},
      {"rope grip", {0, 92}, Monkey::Palette::face},
      {"eye", {-7, 62}, Monkey::Palette::eye},
      {"ear", {-25, 60}, Monkey::Palette::fur},
      {"leg", {-15, -14}, Monkey::Palette::furDark},
  };
  for (const auto& row : rows) {
    const QRgb p = at(row.point.x(), row.point.y());
    EXPECT_TRUE(near(p, row.color))
        << row.where << " " << qRed(p) << "," << qGreen(p) << "," << qBlue(p) << "," << qAlpha(p);
  }
  for (QPointF empty : {QPointF(-50, 92), QPointF(50, 92), QPointF(-40, 0), QPointF(0, -40),
                        QPointF(-60, -60), QPointF(60, 120)}) {
    EXPECT_EQ(qAlpha(at(empty.x(), empty.y())), 0) << empty.x() << "," << empty.y();
  }
}

}  // namespace
}  // namespace vorlane
