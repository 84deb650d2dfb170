#include "ui/mascot/scene/billboard_node.h"

#include <QPainterPathStroker>
#include <QPointer>

namespace vorlane {

BillboardNode::BillboardNode()
    : board_(new ShapeNode),
      post_(new ShapeNode),
      timeLabel_(new LabelNode),
      captionLabel_(new LabelNode) {
  QPainterPath body;
  body.addRoundedRect(-90, -44, width, height, 9, 9);
  board_->setPath(body);
  board_->setLineWidth(3);
  post_->setStrokeColor(std::nullopt);

  timeLabel_->setFont({"DejaVu Sans Mono"}, 30, QFont::Bold);
  timeLabel_->setHorizontalAlignment(LabelNode::HorizontalAlignment::center);
  timeLabel_->setVerticalAlignment(LabelNode::VerticalAlignment::center);
  timeLabel_->setPosition({0, 16});
  captionLabel_->setFont({"Nimbus Sans", "DejaVu Sans"}, 15, QFont::Medium);
  captionLabel_->setHorizontalAlignment(LabelNode::HorizontalAlignment::center);
  captionLabel_->setVerticalAlignment(LabelNode::VerticalAlignment::center);
  captionLabel_->setNumberOfLines(2);
  captionLabel_->setPreferredMaxLayoutWidth(160);
  captionLabel_->setPosition({0, -20});

  // The post first, so the board covers its top end.
  addChild(post_);
  addChild(board_);
  addChild(timeLabel_);
  addChild(captionLabel_);
  setAlpha(0);
  applyTheme(MascotTheme::light());
  setPostTarget({0, -60});
}

void BillboardNode::update(const QString& time, const QString& caption) {
  if (time != timeLabel_->text()) timeLabel_->setText(time);
  if (caption != captionLabel_->text()) captionLabel_->setText(caption);
}

void BillboardNode::show() {
  if (alpha() >= 1) return;
  removeAllActions();
  setScale(0.8);
  run(Action::group({Action::fadeIn(0.25), Action::scaleTo(1.0, 0.28)}));
}

void BillboardNode::hide() {
  removeAllActions();
  QPointer<BillboardNode> self(this);
  run(Action::sequence({Action::fadeOut(0.2), Action::run([self] {
                          if (self) self->setScale(1.0);
                        })}));
}

void BillboardNode::setPostTarget(QPointF target) {
  if (lastPostTarget_ == target) return;
  lastPostTarget_ = target;
  QPainterPath line;
  line.moveTo(0, -42);  // just inside the board's bottom edge
  line.lineTo(target);
  QPainterPathStroker stroker;
  stroker.setWidth(5);
  stroker.setCapStyle(Qt::RoundCap);
  stroker.setJoinStyle(Qt::RoundJoin);
  stroker.setMiterLimit(1);
  QPainterPath outline = stroker.createStroke(line);
  outline.setFillRule(Qt::WindingFill);  // the stroker's own rule; odd-even leaves holes
  post_->setPath(outline);
  ++postBuilds_;
}

void BillboardNode::applyTheme(const MascotTheme& theme) {
  board_->setFillColor(theme.boardFill);
  board_->setStrokeColor(theme.boardStroke);
  post_->setFillColor(theme.boardStroke);
  timeLabel_->setFontColor(theme.boardInk);
  captionLabel_->setFontColor(theme.boardCaption);
}

}  // namespace vorlane
