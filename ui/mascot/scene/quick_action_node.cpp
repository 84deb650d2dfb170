#include "ui/mascot/scene/quick_action_node.h"

#include <QGuiApplication>

#include "ui/kit/symbol_image.h"

namespace vorlane {

namespace {

double pixelRatio() { return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0; }

}  // namespace

QuickActionNode::QuickActionNode(QuickAction action, const QString& title, const MascotTheme& theme)
    : action_(action),
      background_(new ShapeNode),
      label_(new LabelNode),
      icon_(new SpriteNode(
          symbolImage(QString::fromUtf8(symbolName(action).data(),
                                        static_cast<qsizetype>(symbolName(action).size())),
                      16, theme.pillText.toQColor(), std::max(2.0, pixelRatio()))
              .toImage(),
          {16, 16})),
      theme_(theme) {
  label_->setFont({"Nimbus Sans", "DejaVu Sans"}, 15, QFont::Medium);
  label_->setFontColor(theme.pillText);
  label_->setVerticalAlignment(LabelNode::VerticalAlignment::center);
  label_->setHorizontalAlignment(LabelNode::HorizontalAlignment::left);
  label_->setText(title);

  const double w = label_->textSize().width() + padding;
  size_ = {w, height};
  QPainterPath body;
  body.addRoundedRect(-w / 2, -height / 2, w, height, height / 2, height / 2);
  background_->setPath(body);
  background_->setFillColor(theme.pillFill);
  const bool warning = isWarning(action);
  background_->setStrokeColor(warning ? warningStroke : theme.pillStroke);
  background_->setLineWidth(warning ? 1.5 : 1.0);
  icon_->setPosition({-w / 2 + 20, 0});
  label_->setPosition({-w / 2 + 36, 0});

  addChild(background_);
  addChild(icon_);
  addChild(label_);
}

QRectF QuickActionNode::frame() const {
  return {position().x() - size_.width() / 2, position().y() - size_.height() / 2, size_.width(),
          size_.height()};
}

void QuickActionNode::setHighlighted(bool highlighted) {
  highlighted_ = highlighted;
  background_->setFillColor(highlighted ? theme_.pillHighlight : theme_.pillFill);
}

}  // namespace vorlane
