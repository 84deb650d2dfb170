#include "ui/scene/label_node.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

namespace vorlane {

LabelNode::LabelNode() {
  font_.setFamilies({"Nimbus Sans", "DejaVu Sans"});
  font_.setPixelSize(32);
}

void LabelNode::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  relayout();
}

void LabelNode::setFont(const QStringList& families, double pixelSize, QFont::Weight weight) {
  font_.setFamilies(families);
  font_.setPixelSize(qRound(pixelSize));
  font_.setWeight(weight);
  relayout();
}

void LabelNode::setFontSize(double pixelSize) {
  if (font_.pixelSize() == qRound(pixelSize)) return;
  font_.setPixelSize(qRound(pixelSize));
  relayout();
}

void LabelNode::setFontColor(const Rgba& color) {
  color_ = color;
  drawingChanged();
}

void LabelNode::setPreferredMaxLayoutWidth(double width) {
  if (width == maxWidth_) return;
  maxWidth_ = width;
  relayout();
}

void LabelNode::setNumberOfLines(int lines) {
  if (lines == maxLines_) return;
  maxLines_ = lines;
  relayout();
}

void LabelNode::setHorizontalAlignment(HorizontalAlignment alignment) {
  prepareGeometryChange();
  drawingChanged();
  horizontal_ = alignment;
}

void LabelNode::setVerticalAlignment(VerticalAlignment alignment) {
  prepareGeometryChange();
  drawingChanged();
  vertical_ = alignment;
}

void LabelNode::relayout() {
  prepareGeometryChange();
  drawingChanged();
  lines_.clear();
  inkWidth_ = inkHeight_ = inkTop_ = 0;
  if (text_.isEmpty()) return;

  QString text = text_;
  text.replace(QChar('\n'), QChar::LineSeparator);
  QTextLayout layout(text, font_);
  QTextOption option;
  option.setWrapMode(maxWidth_ > 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                   : QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.setCacheEnabled(true);
  std::vector<std::pair<int, int>> spans;  // start, length
  // Whether a line broke inside a paragraph: the text is wider than the wrap width.
  bool wraps = false;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(maxWidth_ > 0 ? maxWidth_ : 1e9);
    spans.emplace_back(line.textStart(), line.textLength());
    const int end = line.textStart() + line.textLength();
    wraps = wraps || (end < text.size() && text.at(end - 1) != QChar::LineSeparator);
    // Lines past the first one cut are never shown: a long text (a typed reminder may hold
    // thousands of characters) is laid out only as far as it shows, once it is known to wrap.
    if (wraps && maxLines_ > 0 && static_cast<int>(spans.size()) > maxLines_) break;
  }
  layout.endLayout();

  const QFontMetricsF metrics(font_);
  const bool cut = maxLines_ > 0 && static_cast<int>(spans.size()) > maxLines_;
  const std::size_t kept = cut ? static_cast<std::size_t>(maxLines_) : spans.size();
  double top = 0;
  double bottom = 0;
  for (std::size_t i = 0; i < kept; ++i) {
    QString piece;
    if (cut && i + 1 == kept) {
      // The rest of the text, on one line, cut at the width with an ellipsis. Only its start
      // can show: a part already wider than the line is cut the same way as the whole.
      const double width = maxWidth_ > 0 ? maxWidth_ : 1e9;
      const QString rest = text.mid(spans[i].first).simplified();
      qsizetype shown = 256;
      while (shown < rest.size() && metrics.horizontalAdvance(rest.left(shown)) <= width) {
        shown *= 2;
      }
      piece = metrics.elidedText(rest.left(shown), Qt::ElideRight, width);
    } else {
      piece = text.mid(spans[i].first, spans[i].second);
      while (!piece.isEmpty() && (piece.back().isSpace() || piece.back() == QChar::LineSeparator)) {
        piece.chop(1);
      }
    }
    const double baseline = static_cast<double>(i) * metrics.lineSpacing();
    const QRectF ink = metrics.tightBoundingRect(piece);
    if (i == 0) {
      top = baseline + ink.top();
      inkTop_ = ink.top();
    }
    bottom = baseline + (piece.trimmed().isEmpty() ? 0 : ink.bottom());
    lines_.push_back({piece, metrics.horizontalAdvance(piece), baseline});
    inkWidth_ = std::max(inkWidth_, lines_.back().advance);
  }
  inkHeight_ = std::max(0.0, bottom - top);
  if (maxWidth_ > 0 && wraps) inkWidth_ = maxWidth_;
  for (Line& line : lines_) line.baseline -= top;
  drawingChanged();
}

QStringList LabelNode::lines() const {
  QStringList out;
  for (const Line& line : lines_) out << line.text;
  return out;
}

// In y-down drawing coordinates: the ink box's top left relative to the node's origin.
QRectF LabelNode::localInkRect() const {
  const double x = horizontal_ == HorizontalAlignment::center ? -inkWidth_ / 2 : 0;
  const double y = vertical_ == VerticalAlignment::center ? -inkHeight_ / 2 : inkTop_;
  return {x, y, inkWidth_, inkHeight_};
}

QRectF LabelNode::frame() const {
  const QRectF ink = localInkRect();
  // Back to y-up: the box's bottom is at −(top + height).
  return {pos().x() + ink.x(), pos().y() - ink.bottom(), ink.width(), ink.height()};
}

QRectF LabelNode::boundingRect() const {
  if (lines_.empty()) return {};
  const QRectF ink = localInkRect();
  const double margin = font_.pixelSize();  // ink may reach past the advance
  return QRectF(ink.x(), -ink.bottom(), ink.width(), ink.height())
      .adjusted(-margin, -margin, margin, margin);
}

void LabelNode::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  if (lines_.empty()) return;
  painter->save();
  painter->scale(1, -1);  // text is drawn y-down
  painter->setFont(font_);
  painter->setPen(color_.toQColor());
  const QRectF box = localInkRect();
  for (const Line& line : lines_) {
    const double x = horizontal_ == HorizontalAlignment::center ? -line.advance / 2 : 0;
    painter->drawText(QPointF(x, box.y() + line.baseline), line.text);
  }
  painter->restore();
}

}  // namespace vorlane
