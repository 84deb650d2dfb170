#pragma once

#include <optional>

#include <QString>

#include "ui/mascot/mascot_theme.h"
#include "ui/scene/node.h"

namespace vorlane {

// The session sign the working mascot holds. This is the part of it the scene drives:
// texts, the post's target, the theme and hiding; the board's drawing comes with its own
// change.
class BillboardNode final : public Node {
 public:
  BillboardNode() { setAlpha(0); }

  void update(const QString& time, const QString& caption);
  // Fades out over 0.2 s, then returns the scale to 1.
  void hide();
  // Where the post ends, in the board's own coordinates.
  void setPostTarget(QPointF target) { lastPostTarget_ = target; }
  void applyTheme(const MascotTheme& theme) { theme_ = theme; }

  const QString& time() const { return time_; }
  const QString& caption() const { return caption_; }
  std::optional<QPointF> postTarget() const { return lastPostTarget_; }

 private:
  QString time_;
  QString caption_;
  std::optional<QPointF> lastPostTarget_;
  MascotTheme theme_ = MascotTheme::light();
};

}  // namespace vorlane
