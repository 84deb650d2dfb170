#include "tests/support/manual_clock.h"

#include <algorithm>

namespace vorlane {

ManualClock::ManualClock(Scene* scene, double frame) : scene_(scene), frame_(frame) {}

void ManualClock::advance(double seconds) {
  double left = seconds;
  while (left > 1e-12) {
    if (scene_.isNull() || scene_->isTornDown()) return;
    const double dt = std::min(frame_, left);
    scene_->step(dt);
    now_ += dt;
    left -= dt;
  }
}

}  // namespace vorlane
