#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <vector>

#include "ui/scene/node.h"
#include "ui/scene/rgba.h"

namespace vorlane {

// Text that wraps at word boundaries (or anywhere, for a word longer than the width), keeps
// at most a number of lines and cuts the last kept line with an ellipsis when text remains.
// Its frame is the ink of the lines: an empty text is 0 × 0, the width is the widest line's
// advance (the wrap width itself once the text has to wrap), the height runs from the
// first line's ink top to the last line's ink bottom.
class LabelNode : public Node {
  Q_OBJECT

 public:
  enum class HorizontalAlignment { left, center };
  enum class VerticalAlignment { baseline, center };

  LabelNode();

  const QString& text() const { return text_; }
  void setText(const QString& text);
  // Sizes are scene points, so fonts are always set by pixel size.
  void setFont(const QStringList& families, double pixelSize, QFont::Weight weight);
  const QFont& font() const { return font_; }
  double fontSize() const { return font_.pixelSize(); }
  void setFontSize(double pixelSize);
  Rgba fontColor() const { return color_; }
  void setFontColor(const Rgba& color);
  // 0 means no wrapping.
  void setPreferredMaxLayoutWidth(double width);
  // 0 means no limit.
  void setNumberOfLines(int lines);
  void setHorizontalAlignment(HorizontalAlignment alignment);
  void setVerticalAlignment(VerticalAlignment alignment);

  // The text's ink box, in the node's own coordinates.
  QSizeF textSize() const { return {inkWidth_, inkHeight_}; }
  // The lines as laid out, ellipsis included.
  QStringList lines() const;
  // The ink box in the parent's coordinates (unrotated, unscaled).
  QRectF frame() const;

  QRectF boundingRect() const override;
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

 private:
  struct Line {
    QString text;
    double advance;
    double baseline;  // y-down, from the top of the ink box
  };
  void relayout();
  QRectF localInkRect() const;

  QString text_;
  QFont font_;
  Rgba color_ = Rgba::white(1);
  double maxWidth_ = 0;
  int maxLines_ = 1;
  HorizontalAlignment horizontal_ = HorizontalAlignment::center;
  VerticalAlignment vertical_ = VerticalAlignment::baseline;
  std::vector<Line> lines_;
  double inkWidth_ = 0;
  double inkHeight_ = 0;
  double inkTop_ = 0;  // first line's ink top relative to its baseline (y-down, negative)
};

}  // namespace vorlane
