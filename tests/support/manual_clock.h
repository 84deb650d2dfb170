#pragma once

#include <QPointer>

#include "ui/scene/scene.h"

namespace vorlane {

// Steps a scene by hand, in frames of a fixed length, for tests and benchmarks.
class ManualClock {
 public:
  explicit ManualClock(Scene* scene, double frame = 1.0 / 60.0);

  // Steps whole frames and one shorter last frame, until `seconds` have passed; stops
  // early if the scene is torn down.
  void advance(double seconds);
  // One frame of the clock's length.
  void step() { advance(frame_); }
  double now() const { return now_; }

 private:
  QPointer<Scene> scene_;
  double frame_;
  double now_ = 0;
};

}  // namespace vorlane
