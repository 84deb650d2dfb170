#include "ui/overlays/celebration_presenter.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/manual_clock.h"
#include "tests/support/manual_work_queue.h"
#include "tests/support/scripted_random.h"
#include "tests/support/seeded_random_generator.h"
#include "ui/overlays/confetti_layout.h"
#include "ui/scene/shape_node.h"
#include "ui/scene/sprite_node.h"

namespace vorlane {
namespace {

const ScreenInfo display{"HDMI-1", QRect(1920, 0, 1280, 800), QRect(1920, 30, 1280, 770)};
const CelebrationColors colors{
    Rgba{1.0, 0.82, 0.35, 1},
    {Rgba{0.95, 0.3, 0.35, 1}, Rgba{0.3, 0.75, 0.45, 1}, Rgba{0.25, 0.5, 0.95, 1},
     Rgba{1.0, 0.8, 0.2, 1}, Rgba{0.7, 0.4, 0.9, 1}}};
// The character's place on screen: 180 right of the display's left edge, 200 up from its
// bottom.
const QPointF character{1920 + 180, 800 - 200};

template <typename T>
std::vector<T*> nodesOf(CelebrationScene* scene) {
  std::vector<T*> found;
  for (Node* node : scene->root()->children()) {
    if (auto* typed = dynamic_cast<T*>(node)) found.push_back(typed);
  }
  return found;
}

int overlayWindows() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  int count = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (dynamic_cast<OverlayWindow*>(w) != nullptr) ++count;
  }
  return count;
}

class CelebrationTest : public testing::Test {
 protected:
  void TearDown() override {
    presenter.dismiss();
    EXPECT_EQ(overlayWindows(), 0);
  }

  ManualWorkQueue queue;
  SeededRandomGenerator random{42};
  bool reduceMotion = false;
  CelebrationPresenter presenter{random, [this] { return reduceMotion; }, queue.makeWork(),
                                 [] { return true; }};
};

TEST_F(CelebrationTest, GlowAndBurstCoverTheDisplayAndTakeNoClick) {
  presenter.celebrate(display, character, colors);
  ASSERT_TRUE(presenter.isShowing());
  EXPECT_EQ(presenter.window()->geometry(), display.geometry);  // panels included
  EXPECT_TRUE(presenter.window()->isVisible());
  EXPECT_TRUE(presenter.window()->windowFlags() & Qt::WindowTransparentForInput);
  EXPECT_TRUE(presenter.window()->windowFlags() & Qt::WindowDoesNotAcceptFocus);

  CelebrationScene* scene = presenter.scene();
  const auto glows = nodesOf<SpriteNode>(scene);
  const auto pieces = nodesOf<ShapeNode>(scene);
  ASSERT_EQ(glows.size(), 1u);
  ASSERT_EQ(pieces.size(), confettiPieceCount);
  EXPECT_EQ(glows[0]->position(), QPointF(180, 200));
  EXPECT_EQ(glows[0]->size(), QSizeF(2560, 2560));
  for (ShapeNode* piece : pieces) EXPECT_EQ(piece->position(), QPointF(180, 200));
  EXPECT_EQ(pieces[6]->fillColor(), colors.confetti[1]);  // the palette repeats in order

  // The first piece's flight, as the same seed lays it out.
  SeededRandomGenerator same(42);
  const ConfettiPiece first = confettiLayout(same, 1280, 5).front();
  ManualClock clock(scene);
  clock.advance(0.35);
  EXPECT_DOUBLE_EQ(glows[0]->alpha(), 0.3);
  clock.advance(first.upTime - 0.35);
  EXPECT_NEAR(pieces[0]->position().x(), 180 + first.spread * 0.35, 1e-6);
  EXPECT_NEAR(pieces[0]->position().y(), 200 + first.rise, 1e-6);
  clock.advance(first.fallTime - 1e-4);
  EXPECT_NEAR(pieces[0]->position().x(), 180 + first.spread, 0.5);
  EXPECT_NEAR(pieces[0]->position().y(), -120, 0.5);  // below the bottom edge
  EXPECT_LT(pieces[0]->alpha(), 0.01);
  clock.advance(0.01);
  EXPECT_EQ(pieces[0]->parentNode(), nullptr);
  clock.advance(2.3 - clock.now() + 0.01);
  EXPECT_TRUE(nodesOf<SpriteNode>(scene).empty());  // the glow is gone by 2.3 s
}

TEST_F(CelebrationTest, ReducedMotionGlowsFainterWithoutConfetti) {
  reduceMotion = true;
  presenter.celebrate(display, character, colors);
  EXPECT_TRUE(nodesOf<ShapeNode>(presenter.scene()).empty());
  ASSERT_EQ(nodesOf<SpriteNode>(presenter.scene()).size(), 1u);
  ManualClock(presenter.scene()).advance(0.35);
  EXPECT_DOUBLE_EQ(nodesOf<SpriteNode>(presenter.scene())[0]->alpha(), 0.2);
}

TEST_F(CelebrationTest, ClearsItselfAfterTheLastCelebrationsTimeOrAtOnceOnDismiss) {
  presenter.dismiss();  // harmless when idle
  presenter.celebrate(display, character, colors);
  QPointer<OverlayWindow> firstWindow = presenter.window();
  queue.advance(2.0);
  presenter.celebrate(display, character, colors);
  EXPECT_EQ(overlayWindows(), 1);
  EXPECT_TRUE(firstWindow.isNull());
  queue.advance(2.7);
  EXPECT_TRUE(presenter.isShowing());
  queue.advance(0.1);
  EXPECT_FALSE(presenter.isShowing());
  EXPECT_FALSE(presenter.isDismissalPending());
  EXPECT_EQ(overlayWindows(), 0);

  presenter.celebrate(display, character, colors);
  QPointer<CelebrationScene> scene = presenter.scene();
  presenter.dismiss();
  EXPECT_FALSE(presenter.isShowing());
  EXPECT_FALSE(presenter.isDismissalPending());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(scene.isNull());  // pieces still flying go with the scene
}

TEST(CelebrationWithoutCompositor, ShowsNothingAndSchedulesNothing) {
  struct Row {
    const char* name;
    std::function<bool()> compositor;
  };
  // Offscreen there is no X connection: the real check finds no compositor either.
  const Row rows[] = {{"no owner of the selection", [] { return false; }},
                      {"the display's own check", compositorRunning}};
  for (const Row& row : rows) {
    ManualWorkQueue queue;
    ScriptedRandomGenerator noDraws{};
    CelebrationPresenter presenter(
        noDraws, [] { return false; }, queue.makeWork(), row.compositor);
    presenter.celebrate(display, character, colors);
    EXPECT_FALSE(presenter.isShowing()) << row.name;
    EXPECT_FALSE(presenter.isDismissalPending()) << row.name;
    EXPECT_EQ(overlayWindows(), 0) << row.name;
    EXPECT_EQ(noDraws.wordsUsed(), 0u) << row.name;
  }
}

TEST(CelebrationScene, AFrameGlowsAroundTheOriginOverATransparentDisplay) {
  SeededRandomGenerator random(3);
  CelebrationScene scene(QSizeF(640, 400), colors);
  scene.addGlow({320, 120}, false);
  scene.addConfetti({320, 120}, random);
  ManualClock(&scene).advance(0.5);
  const QImage frame = scene.renderImage();
  const QColor centre = frame.pixelColor(320, 400 - 120);
  EXPECT_GT(centre.alpha(), 40);
  EXPECT_GT(centre.red(), centre.blue());  // the warm glow colour
  int coloured = 0;
  for (int y = 0; y < frame.height(); y += 2) {
    for (int x = 0; x < frame.width(); x += 2) {
      if (frame.pixelColor(x, y).alpha() > 200) ++coloured;
    }
  }
  EXPECT_GT(coloured, 20);  // confetti pieces, opaque
}

}  // namespace
}  // namespace vorlane
