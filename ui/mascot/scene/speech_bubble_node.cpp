#include "ui/mascot/scene/speech_bubble_node.h"

#include <QFontMetricsF>
#include <algorithm>

namespace vorlane {

namespace {

constexpr double margin = 17;  // on each side of the text
constexpr double headlineSize = 20;
constexpr double noteSize = 15;

}  // namespace

SpeechBubbleNode::SpeechBubbleNode()
    : label_(new LabelNode), background_(new ShapeNode), tail_(new ShapeNode) {
  label_->setFont({"Nimbus Sans", "DejaVu Sans"}, headlineSize, QFont::Medium);
  label_->setHorizontalAlignment(LabelNode::HorizontalAlignment::center);
  label_->setVerticalAlignment(LabelNode::VerticalAlignment::center);
  background_->setLineWidth(1);
  addChild(background_);
  addChild(tail_);
  addChild(label_);
  applyTheme(MascotTheme::light());
}

void SpeechBubbleNode::loadFonts() const {
  QFont font = label_->font();
  for (const double size : {headlineSize, noteSize}) {
    font.setPixelSize(qRound(size));
    QFontMetricsF(font).horizontalAdvance(QStringLiteral("It's 3 PM"));
  }
}

void SpeechBubbleNode::show(const QString& text, QPointF anchor, double maxWidth,
                            Visit::BubbleStyle style) {
  const bool headline = style == Visit::BubbleStyle::headline;
  label_->setFontSize(headline ? headlineSize : noteSize);
  label_->setNumberOfLines(headline ? 3 : 6);
  label_->setPreferredMaxLayoutWidth(std::max(1.0, maxWidth - 2 * margin));
  label_->setText(text);

  const QSizeF textSize = label_->textSize();
  const double w = std::min(std::max(textSize.width(), 30.0), maxWidth - 2 * margin) + 2 * margin;
  const double h = std::max(textSize.height() + 26, 44.0);
  size_ = {w, h};
  background_->setPath(ShapeNode::roundedRect(w, h, 14));
  QPainterPath tail;
  tail.moveTo(w / 2 - 2, 2);
  tail.lineTo(w / 2 + 12, -6);
  tail.lineTo(w / 2 - 2, -14);
  tail.closeSubpath();
  tail_->setPath(tail);
  setPosition({anchor.x() - w / 2, anchor.y()});

  removeAllActions();
  Node::setScale(0.85);
  run(Action::group({Action::fadeIn(0.22), Action::scaleTo(1, 0.26)}));
}

void SpeechBubbleNode::hide() {
  removeAllActions();
  run(Action::fadeOut(0.2));
}

void SpeechBubbleNode::applyTheme(const MascotTheme& theme) {
  label_->setFontColor(theme.bubbleText);
  background_->setFillColor(theme.bubbleFill);
  background_->setStrokeColor(theme.bubbleStroke);
  tail_->setFillColor(theme.bubbleFill);
  tail_->setStrokeColor(std::nullopt);
}

}  // namespace vorlane
