#pragma once

namespace vorlane {

// The pace of a small idle motion: once every part has moved less than a fraction of a pixel
// per 30-Hz frame for a while, the eye cannot tell 15 frames a second from 30, so the
// frames come at half that rate; the first frame that moves faster brings 30 back. The
// speed is counted per 30-Hz frame whatever the pace, so a slow drift does not flip the
// pace back and forth when its frames grow longer.
class SettleRate {
 public:
  static constexpr int livelyInterval = 33;
  static constexpr int settledInterval = 66;
  // Pixels per 30-Hz frame below which a part counts as still.
  static constexpr double stillPixelsPerFrame = 0.7;
  // How long everything stays that still before the pace drops.
  static constexpr double settleSeconds = 0.2;

  // A frame `seconds` long in which the part that moved most moved `pixels`; returns the
  // milliseconds until the next frame.
  int frame(double seconds, double pixels);
  // Back to 30 frames a second, as at the start of a motion.
  void reset() { stillFor_ = 0; }
  int interval() const { return stillFor_ >= settleSeconds ? settledInterval : livelyInterval; }

 private:
  double stillFor_ = 0;
};

}  // namespace vorlane
