#pragma once

#include <QString>

#include "core/contracts/visit.h"
#include "ui/mascot/scene/mascot_theme.h"
#include "ui/scene/label_node.h"
#include "ui/scene/shape_node.h"

namespace vorlane {

// The rounded bubble with a small tail toward the rope, laid out around its text.
class SpeechBubbleNode final : public Node {
 public:
  SpeechBubbleNode();
  // Loads the font files and shaping tables of both text sizes. Left until the bubble first
  // pops in, they hold that visit's frames as it climbs down and speaks (tens of
  // milliseconds, far more in a process that has drawn no text yet on a busy machine).
  void loadFonts() const;

  // Lays the bubble out around the text (headline: 20 px, 3 lines; note: 15 px, 6 lines),
  // puts its right edge at anchor.x and its centre at anchor.y, and pops it in.
  void show(const QString& text, QPointF anchor, double maxWidth, Visit::BubbleStyle style);
  // Stops the bubble's actions and fades it out over 0.2 s.
  void hide();
  void applyTheme(const MascotTheme& theme);

  LabelNode* label() const { return label_; }
  ShapeNode* background() const { return background_; }
  ShapeNode* tail() const { return tail_; }
  // Width and height of the last layout.
  QSizeF bubbleSize() const { return size_; }

 private:
  LabelNode* label_;
  ShapeNode* background_;
  ShapeNode* tail_;
  QSizeF size_;
};

}  // namespace vorlane
