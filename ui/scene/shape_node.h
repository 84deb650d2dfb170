#pragma once

#include <QPainterPath>
#include <optional>

#include "ui/scene/node.h"
#include "ui/scene/rgba.h"

namespace vorlane {

// A path in the node's y-up coordinates, filled and stroked only where a colour is given.
class ShapeNode : public Node {
  Q_OBJECT

 public:
  ShapeNode() = default;
  explicit ShapeNode(const QPainterPath& path) { setPath(path); }

  // A rounded rectangle or circle of the given size, centred on the node.
  static QPainterPath roundedRect(double width, double height, double radius);
  static QPainterPath circle(double radius);

  const QPainterPath& path() const { return path_; }
  void setPath(const QPainterPath& path);
  std::optional<Rgba> fillColor() const { return fill_; }
  void setFillColor(std::optional<Rgba> color);
  std::optional<Rgba> strokeColor() const { return stroke_; }
  void setStrokeColor(std::optional<Rgba> color);
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width);
  void setLineCap(Qt::PenCapStyle cap);
  void setLineJoin(Qt::PenJoinStyle join);

  QRectF boundingRect() const override;
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

 private:
  QPainterPath path_;
  std::optional<Rgba> fill_;
  std::optional<Rgba> stroke_;
  double lineWidth_ = 1;
  Qt::PenCapStyle cap_ = Qt::FlatCap;
  Qt::PenJoinStyle join_ = Qt::MiterJoin;
  QRectF bounds_;
};

}  // namespace vorlane
