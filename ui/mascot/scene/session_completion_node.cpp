#include "ui/mascot/scene/session_completion_node.h"

namespace vorlane {

namespace {

const QStringList sans{"Nimbus Sans", "DejaVu Sans"};

LabelNode* centredLabel(const QStringList& families, double size, QFont::Weight weight) {
  auto* label = new LabelNode;
  label->setFont(families, size, weight);
  label->setHorizontalAlignment(LabelNode::HorizontalAlignment::center);
  label->setVerticalAlignment(LabelNode::VerticalAlignment::center);
  return label;
}

}  // namespace

SessionCompletionNode::SessionCompletionNode()
    : background_(new ShapeNode),
      title_(centredLabel(sans, 18, QFont::Medium)),
      clock_(centredLabel({"DejaVu Sans Mono"}, 25, QFont::Bold)),
      nudge_(centredLabel(sans, 14, QFont::Normal)),
      elapsed_(centredLabel(sans, 13, QFont::Normal)),
      focus_(centredLabel(sans, 15, QFont::Medium)) {
  nudge_->setNumberOfLines(2);
  nudge_->setPreferredMaxLayoutWidth(198);
  focus_->setNumberOfLines(2);
  focus_->setPreferredMaxLayoutWidth(200);
  addChild(background_);
  for (LabelNode* label : {title_, clock_, nudge_, elapsed_, focus_}) addChild(label);
  setPanelHeight(148);
  title_->setPosition({0, 50});
  elapsed_->setPosition({0, 28});
  clock_->setPosition({0, 4});
  nudge_->setPosition({0, -45});
  setHidden(true);
  applyTheme(theme_);
}

void SessionCompletionNode::setPanelHeight(double height) {
  panelHeight_ = height;
  QPainterPath path;
  path.addRoundedRect(-width / 2, -height / 2, width, height, 15, 15);
  background_->setPath(path);
}

void SessionCompletionNode::update(const PomodoroSession::Completion& completion,
                                   const QString& currentTime, const QString& elapsedText) {
  const bool goal = !completion.focus.empty();
  setPanelHeight(goal ? 196 : 148);
  focus_->setText(goal ? QString::fromStdString(completion.focus) : QString());
  title_->setPosition({0, goal ? 75.0 : 50.0});
  focus_->setPosition({0, 42});
  elapsed_->setPosition({0, goal ? 9.0 : 28.0});
  clock_->setPosition({0, goal ? -20.0 : 4.0});
  nudge_->setPosition({0, goal ? -72.0 : -45.0});
  title_->setText(QString::fromStdString(completion.title()));
  clock_->setText(currentTime);
  nudge_->setText(QString::fromStdString(completion.nudge()));
  elapsed_->setText(elapsedText);
  setHidden(false);
}

void SessionCompletionNode::applyTheme(const MascotTheme& theme) {
  theme_ = theme;
  background_->setFillColor(theme.bubbleFill);
  background_->setStrokeColor(isEmphasized_ ? theme.boardStroke : theme.bubbleStroke);
  background_->setLineWidth(isEmphasized_ ? 2.5 : 1.0);
  for (LabelNode* label : {title_, clock_, focus_}) label->setFontColor(theme.bubbleText);
  for (LabelNode* label : {nudge_, elapsed_}) label->setFontColor(theme.boardCaption);
}

}  // namespace vorlane
