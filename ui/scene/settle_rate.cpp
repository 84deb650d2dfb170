#include "ui/scene/settle_rate.h"

namespace vorlane {

int SettleRate::frame(double seconds, double pixels) {
  constexpr double referenceFrame = 1.0 / 30.0;
  // A frame of no length (two steps at once) says nothing about speed: the pace stands.
  if (seconds <= 0) return interval();
  const double perReferenceFrame = pixels * referenceFrame / seconds;
  if (perReferenceFrame >= stillPixelsPerFrame) {
    stillFor_ = 0;
  } else {
    stillFor_ += seconds;
  }
  return interval();
}

}  // namespace vorlane
