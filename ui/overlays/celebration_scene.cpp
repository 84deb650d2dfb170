#include "ui/overlays/celebration_scene.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

#include "ui/overlays/confetti_layout.h"
#include "ui/scene/shape_node.h"
#include "ui/scene/sprite_node.h"

namespace vorlane {
namespace {

constexpr int glowTextureSize = 256;

}  // namespace

CelebrationScene::CelebrationScene(QSizeF size, CelebrationColors colors)
    : Scene(size), colors_(std::move(colors)) {}

QImage CelebrationScene::glowImage(const Rgba& color) {
  QImage image(glowTextureSize, glowTextureSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  const QPointF centre(glowTextureSize / 2.0, glowTextureSize / 2.0);
  QRadialGradient gradient(centre, glowTextureSize / 2.0);
  gradient.setColorAt(0, color.toQColor());
  gradient.setColorAt(1, color.withAlpha(0).toQColor());
  QPainter painter(&image);
  painter.fillRect(image.rect(), gradient);
  return image;
}

void CelebrationScene::addGlow(QPointF point, bool reduceMotion) {
  const double side = 2 * std::max(size().width(), size().height());
  auto* glow = new SpriteNode(glowImage(colors_.glow), QSizeF(side, side));
  glow->setPosition(point);
  glow->setAlpha(0);
  glow->setScale(0.25);
  glow->setAdditive(true);
  addChild(glow);
  const Action bloom = Action::group({Action::fadeAlphaTo(reduceMotion ? 0.2 : 0.3, 0.35),
                                      Action::scaleTo(1.0, 1.1)})
                           .withTiming(TimingMode::easeOut);
  glow->run(Action::sequence({bloom, Action::fadeOut(1.2), Action::removeFromParent()}));
}

void CelebrationScene::addConfetti(QPointF point, RandomGenerator& random) {
  const auto pieces = confettiLayout(random, size().width(), colors_.confetti.size());
  for (const ConfettiPiece& p : pieces) {
    auto* piece = new ShapeNode(ShapeNode::roundedRect(p.width, p.height, 2));
    piece->setFillColor(colors_.confetti[p.colorIndex]);
    piece->setPosition(point);
    piece->setZRotation(p.rotation);
    addChild(piece);
    piece->run(Action::repeatForever(Action::rotateBy(p.spin, 1.0)));
    const Action up =
        Action::moveBy(p.spread * 0.35, p.rise, p.upTime).withTiming(TimingMode::easeOut);
    const Action down =
        Action::group({Action::moveBy(p.spread * 0.65, -(point.y() + p.rise + 120), p.fallTime)
                           .withTiming(TimingMode::easeIn),
                       Action::fadeOut(p.fallTime)});
    piece->run(Action::sequence({Action::wait(p.delay), up, down, Action::removeFromParent()}));
  }
}

}  // namespace vorlane
