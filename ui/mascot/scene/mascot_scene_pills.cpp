// The quick-action pills of MascotScene: a right-aligned column beside the resting mascot,
// or centred rows under the finished-session panel.

#include "ui/mascot/scene/mascot_scene.h"

namespace vorlane {

namespace {

constexpr double rowPitch = 44;
constexpr double gap = 8;
constexpr double columnRightInset = 124;

}  // namespace

void MascotScene::setInteractionsEnabled(bool enabled) {
  if (enabled == interactionsEnabled_) return;
  interactionsEnabled_ = enabled;
  if (!enabled) {
    hideQuickActions();
  } else if (completionIsVisible() || hasIdleFocusInvitation_) {
    showQuickActions();
  }
}

QuickActionNode* MascotScene::makePill(QuickAction action) const {
  return new QuickActionNode(action, QString::fromStdString(label(action, workMinutes_)), theme_);
}

double MascotScene::quickActionsTopY() const {
  if (completionIsVisible()) {
    return sessionCompletion_->position().y() - sessionCompletion_->panelHeight() * 0.5 - 25;
  }
  double top = std::min(character_->position().y() - 4, size().height() - 26);
  if (billboard_->alpha() > 0.01) {
    top = std::min(top, billboard_->accumulatedFrame().top() - 24);  // y-up: top() is min y
  }
  return top;
}

void MascotScene::rebuildQuickActions() {
  layOutQuickActions();
  if (onQuickActionsRebuilt) onQuickActionsRebuilt();
}

void MascotScene::layOutQuickActions() {
  quickActions_->removeAllChildren();
  actionNodes_.clear();
  const double W = size().width();
  const double topY = quickActionsTopY();
  if (completionIsVisible()) {
    std::vector<std::vector<QuickActionNode*>> rows(1);
    double rowWidth = 0;
    for (QuickAction action : actions_) {
      QuickActionNode* pill = makePill(action);
      const double w = pill->size().width();
      if (!rows.back().empty() && rowWidth + gap + w > W - 16) {
        rows.emplace_back();
        rowWidth = 0;
      }
      rowWidth += w + (rows.back().empty() ? 0 : gap);
      rows.back().push_back(pill);
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
      double total = 0;
      for (QuickActionNode* pill : rows[r]) total += pill->size().width();
      const double n = static_cast<double>(rows[r].size());
      double x = (W - (total + std::max(n - 1, 0.0) * gap)) * 0.5;
      const double y = topY - static_cast<double>(r) * rowPitch;
      for (QuickActionNode* pill : rows[r]) {
        const double w = pill->size().width();
        pill->setPosition({x + w / 2, y});
        x += w + gap;
        quickActions_->addChild(pill);
        actionNodes_.push_back(pill);
      }
    }
    return;
  }
  double y = topY;
  for (QuickAction action : actions_) {
    QuickActionNode* pill = makePill(action);
    pill->setPosition({W - columnRightInset - pill->size().width() / 2, y});
    quickActions_->addChild(pill);
    actionNodes_.push_back(pill);
    y -= rowPitch;
  }
}

void MascotScene::showQuickActions() {
  if (!interactionsEnabled_ || appearance_.bannerOpacity <= 0.01) return;
  if (!completionIsVisible() && presenceState_ != PresenceState::peeking &&
      presenceState_ != PresenceState::working) {
    return;
  }
  rebuildQuickActions();
  quickActionsAreInteractive_ = true;
  quickActions_->removeAllActions();
  if (completionIsVisible() || hasIdleFocusInvitation_) {
    quickActions_->setAlpha(1);
    return;
  }
  quickActions_->run(Action::fadeIn(0.16));
  if (!character_->hasAction("greet")) {
    const double x = character_->xScale();
    character_->run(Action::sequence({Action::scaleTo(x * 1.12, 0.14), Action::scaleTo(x, 0.16)}),
                    "greet");
  }
}

void MascotScene::hideQuickActions() {
  if (interactionsEnabled_ && appearance_.bannerOpacity > 0.01 &&
      (completionIsVisible() || hasIdleFocusInvitation_)) {
    rebuildQuickActions();
    quickActionsAreInteractive_ = true;
    quickActions_->removeAllActions();
    quickActions_->setAlpha(1);
    return;
  }
  quickActionsAreInteractive_ = false;
  quickActions_->removeAllActions();
  quickActions_->run(Action::fadeOut(0.16));
}

std::optional<QuickAction> MascotScene::quickAction(QPointF point) const {
  if (!interactionsEnabled_ || appearance_.bannerOpacity <= 0.01 || !quickActionsAreInteractive_) {
    return std::nullopt;
  }
  for (const QuickActionNode* pill : actionNodes_) {
    if (Rect::from(pill->frame()).contains(point)) return pill->action();
  }
  return std::nullopt;
}

void MascotScene::highlightQuickAction(QPointF point) {
  for (QuickActionNode* pill : actionNodes_) {
    pill->setHighlighted(Rect::from(pill->frame()).contains(point));
  }
}

}  // namespace vorlane
