#pragma once

#include <QImage>
#include <QPainter>

#include "ui/scene/node.h"

namespace vorlane {

// An image drawn at a given size, centred on the node, optionally added onto what lies
// beneath (light that brightens).
class SpriteNode : public Node {
  Q_OBJECT

 public:
  SpriteNode(QImage image, QSizeF size);

  QSizeF size() const { return size_; }
  void setSize(QSizeF size);
  void setAdditive(bool additive);

  QRectF boundingRect() const override;
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

 private:
  QImage image_;
  QSizeF size_;
  bool additive_ = false;
};

}  // namespace vorlane
