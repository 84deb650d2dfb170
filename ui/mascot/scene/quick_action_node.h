#pragma once

#include "coordination/commands/quick_action.h"
#include "ui/mascot/scene/mascot_theme.h"
#include "ui/scene/label_node.h"
#include "ui/scene/shape_node.h"
#include "ui/scene/sprite_node.h"

namespace vorlane {

// One pill: a rounded body 36 points high, the action's symbol and its label. Built once
// with a theme and rebuilt, never recoloured, when the theme changes; only the pointer's
// highlight swaps its fill.
class QuickActionNode final : public Node {
 public:
  QuickActionNode(QuickAction action, const QString& title, const MascotTheme& theme);

  QuickAction action() const { return action_; }
  // Width and height, fixed at creation.
  QSizeF size() const { return size_; }
  // The pill's rectangle in its parent's coordinates, centred on its position.
  QRectF frame() const;
  // Highlighted pills take the theme's highlight fill, others its plain fill.
  void setHighlighted(bool highlighted);
  bool isHighlighted() const { return highlighted_; }

  ShapeNode* background() const { return background_; }
  LabelNode* label() const { return label_; }
  SpriteNode* icon() const { return icon_; }

  static constexpr double height = 36;
  // Around the label: the icon's lane on the left and the margins.
  static constexpr double padding = 52;
  static constexpr Rgba warningStroke{0.9, 0.45, 0.35, 0.75};

 private:
  QuickAction action_;
  ShapeNode* background_;
  LabelNode* label_;
  SpriteNode* icon_;
  QSizeF size_;
  MascotTheme theme_;
  bool highlighted_ = false;
};

}  // namespace vorlane
