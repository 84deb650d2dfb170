#pragma once

#include <QString>
#include <optional>

#include "ui/mascot/scene/mascot_theme.h"
#include "ui/scene/label_node.h"
#include "ui/scene/shape_node.h"

namespace vorlane {

// The small sign the mascot holds up on a post: a countdown (or "Focus?") over a caption.
// It knows nothing of sessions; the scene fills it, places it and aims the post at the
// character's hand. Its origin is the board's centre.
class BillboardNode final : public Node {
 public:
  // Invisible, light colours, the post drawn straight down to (0, -60).
  BillboardNode();

  // Each text is set only when it differs from the one shown.
  void update(const QString& time, const QString& caption);
  // Pops in (fade 0.25 s, scale 0.8 -> 1 over 0.28 s) unless already fully visible.
  void show();
  // Fades out over 0.2 s, then returns the scale to 1.
  void hide();
  // Draws the post from the board's bottom edge to `target`, in the board's coordinates.
  // The scene calls it every frame, so an unchanged target rebuilds nothing.
  void setPostTarget(QPointF target);
  void applyTheme(const MascotTheme& theme);

  const QString& time() const { return timeLabel_->text(); }
  const QString& caption() const { return captionLabel_->text(); }
  std::optional<QPointF> postTarget() const { return lastPostTarget_; }
  // How many times the post's outline was built.
  int postBuilds() const { return postBuilds_; }

  ShapeNode* board() const { return board_; }
  ShapeNode* post() const { return post_; }
  LabelNode* timeLabel() const { return timeLabel_; }
  LabelNode* captionLabel() const { return captionLabel_; }

  static constexpr double width = 180;
  static constexpr double height = 88;

 private:
  ShapeNode* board_;
  ShapeNode* post_;
  std::optional<QPointF> lastPostTarget_;
  LabelNode* timeLabel_;
  LabelNode* captionLabel_;
  int postBuilds_ = 0;
};

}  // namespace vorlane
