#include "ui/scene/shape_node.h"

#include <QPainter>

namespace vorlane {

QPainterPath ShapeNode::roundedRect(double width, double height, double radius) {
  QPainterPath path;
  path.addRoundedRect(-width / 2, -height / 2, width, height, radius, radius);
  return path;
}

QPainterPath ShapeNode::circle(double radius) {
  QPainterPath path;
  path.addEllipse(QPointF(0, 0), radius, radius);
  return path;
}

void ShapeNode::setPath(const QPainterPath& path) {
  prepareGeometryChange();
  drawingChanged();
  path_ = path;
  const double grow = stroke_ ? lineWidth_ / 2 + 1 : 1;
  bounds_ = path_.isEmpty() ? QRectF() : path_.boundingRect().adjusted(-grow, -grow, grow, grow);
}

void ShapeNode::setFillColor(std::optional<Rgba> color) {
  if (fill_ == color) return;
  fill_ = color;
  drawingChanged();
}

void ShapeNode::setStrokeColor(std::optional<Rgba> color) {
  if (stroke_ == color) return;
  stroke_ = color;
  setPath(path_);
  drawingChanged();
}

void ShapeNode::setLineWidth(double width) {
  if (lineWidth_ == width) return;
  lineWidth_ = width;
  setPath(path_);
  drawingChanged();
}

void ShapeNode::setLineCap(Qt::PenCapStyle cap) {
  cap_ = cap;
  drawingChanged();
}

void ShapeNode::setLineJoin(Qt::PenJoinStyle join) {
  join_ = join;
  drawingChanged();
}

QRectF ShapeNode::boundingRect() const { return bounds_; }

void ShapeNode::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  if (path_.isEmpty()) return;
  painter->setBrush(fill_ ? QBrush(fill_->toQColor()) : QBrush(Qt::NoBrush));
  if (stroke_ && lineWidth_ > 0) {
    painter->setPen(QPen(stroke_->toQColor(), lineWidth_, Qt::SolidLine, cap_, join_));
  } else {
    painter->setPen(Qt::NoPen);
  }
  painter->drawPath(path_);
}

}  // namespace vorlane
