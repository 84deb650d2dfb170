#pragma once

#include <QRectF>
#include <vector>

namespace vorlane {

class Scene;

// Where a drawn part of a scene was in one frame: its box in scene points and how opaque
// it showed.
struct PartBox {
  QRectF box;
  double opacity = 1;
  bool operator==(const PartBox&) const = default;
};

// How far the drawn parts of a scene moved from one frame to the next: the largest shift of
// any edge of any part's box, in scene points. A part that appears, vanishes or fades counts
// as a large motion, so that only a scene that merely drifts is taken for a still one.
class PartMotion {
 public:
  // A motion larger than any drift.
  static constexpr double changed = 1e9;

  // The parts' boxes now, compared with those of the last sample; `changed` for the first.
  double sample(Scene& scene);
  // The next sample starts afresh.
  void reset() { boxes_.clear(); }

  static double largestShift(const std::vector<PartBox>& before, const std::vector<PartBox>& after);
  // The visible parts of the scene that draw something, in tree order.
  static void collect(Scene& scene, std::vector<PartBox>& out);

 private:
  std::vector<PartBox> boxes_;
  std::vector<PartBox> scratch_;
};

}  // namespace vorlane
