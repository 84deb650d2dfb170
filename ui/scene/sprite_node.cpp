#include "ui/scene/sprite_node.h"

namespace vorlane {

SpriteNode::SpriteNode(QImage image, QSizeF size) : image_(std::move(image)), size_(size) {}

void SpriteNode::setSize(QSizeF size) {
  prepareGeometryChange();
  drawingChanged();
  size_ = size;
}

void SpriteNode::setAdditive(bool additive) {
  additive_ = additive;
  drawingChanged();
}

QRectF SpriteNode::boundingRect() const {
  return {-size_.width() / 2, -size_.height() / 2, size_.width(), size_.height()};
}

void SpriteNode::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  if (image_.isNull()) return;
  painter->save();
  if (additive_) painter->setCompositionMode(QPainter::CompositionMode_Plus);
  painter->scale(1, -1);  // images keep their own top at the top of the y-up scene
  painter->drawImage(boundingRect(), image_);
  painter->restore();
}

}  // namespace vorlane
