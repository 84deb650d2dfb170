#include "ui/scene/painted_areas.h"

#include <QGraphicsItem>

#include "ui/scene/node.h"

namespace vorlane {

QList<QRectF> PaintedAreas::changedSince(QGraphicsItem& root) {
  ++pass_;
  QList<QRectF> changed;
  visit(&root, changed);
  for (auto it = drawn_.begin(); it != drawn_.end();) {
    if (it->pass != pass_) {  // gone, hidden or no longer drawing
      changed.push_back(it->box);
      it = drawn_.erase(it);
    } else {
      ++it;
    }
  }
  return changed;
}

void PaintedAreas::visit(QGraphicsItem* item, QList<QRectF>& changed) {
  if (!item->isVisible()) return;  // hides its children too
  const QRectF local = item->boundingRect();
  const qreal opacity = item->effectiveOpacity();
  if (!local.isEmpty() && opacity > 0 && !(item->flags() & QGraphicsItem::ItemHasNoContents)) {
    const Node* node = Node::from(item);
    Drawn now{item->sceneTransform().mapRect(local), opacity, item->zValue(),
              node != nullptr ? node->drawingVersion() : 0, pass_};
    auto it = drawn_.find(item);
    if (it == drawn_.end()) {
      changed.push_back(now.box);
      drawn_.insert(item, now);
    } else {
      if (it->box != now.box || it->opacity != now.opacity || it->z != now.z ||
          it->drawing != now.drawing) {
        changed.push_back(it->box);
        if (now.box != it->box) changed.push_back(now.box);
      }
      *it = now;
    }
  }
  const QList<QGraphicsItem*> children = item->childItems();
  for (QGraphicsItem* child : children) visit(child, changed);
}

}  // namespace vorlane
