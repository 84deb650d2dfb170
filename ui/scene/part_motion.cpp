#include "ui/scene/part_motion.h"

#include <algorithm>
#include <cmath>

#include "ui/scene/scene.h"

namespace vorlane {
namespace {

// Below this much change in opacity a part reads as unchanged.
constexpr double opacityTolerance = 0.01;

void collectItem(const QGraphicsItem* item, std::vector<PartBox>& out) {
  if (!item->isVisible()) return;
  const QRectF local = item->boundingRect();
  if (!local.isEmpty()) out.push_back({item->sceneBoundingRect(), item->effectiveOpacity()});
  for (const QGraphicsItem* child : item->childItems()) collectItem(child, out);
}

}  // namespace

void PartMotion::collect(Scene& scene, std::vector<PartBox>& out) {
  out.clear();
  collectItem(scene.root(), out);
}

double PartMotion::sample(Scene& scene) {
  collect(scene, scratch_);
  const double shift = boxes_.empty() ? changed : largestShift(boxes_, scratch_);
  std::swap(boxes_, scratch_);
  return shift;
}

double PartMotion::largestShift(const std::vector<PartBox>& before,
                                const std::vector<PartBox>& after) {
  if (before.size() != after.size()) return changed;
  double largest = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    const PartBox& a = before[i];
    const PartBox& b = after[i];
    if (std::abs(a.opacity - b.opacity) > opacityTolerance) return changed;
    largest = std::max(
        {largest, std::abs(a.box.left() - b.box.left()), std::abs(a.box.right() - b.box.right()),
         std::abs(a.box.top() - b.box.top()), std::abs(a.box.bottom() - b.box.bottom())});
  }
  return largest;
}

}  // namespace vorlane
