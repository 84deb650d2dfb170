#pragma once

#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <vector>

#include "foundation/random.h"
#include "ui/scene/rgba.h"
#include "ui/scene/scene.h"

namespace vorlane {

// The colours a celebration uses, taken from the mascot's theme.
struct CelebrationColors {
  Rgba glow;
  std::vector<Rgba> confetti;
};

// A soft glow and a burst of confetti over a transparent scene the size of a display.
class CelebrationScene final : public Scene {
  Q_OBJECT

 public:
  CelebrationScene(QSizeF size, CelebrationColors colors);

  // A glow centred on `point` (scene points) that blooms and fades within 2.3 s; fainter
  // with reduced motion.
  void addGlow(QPointF point, bool reduceMotion);
  // Confetti flying up from `point` and raining down below the bottom edge.
  void addConfetti(QPointF point, RandomGenerator& random);

  // The glow's texture, painted once: the colour fading to transparent from the centre.
  static QImage glowImage(const Rgba& color);

 private:
  CelebrationColors colors_;
};

}  // namespace vorlane
