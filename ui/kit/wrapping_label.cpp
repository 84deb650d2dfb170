#include "ui/kit/wrapping_label.h"

#include <QEvent>
#include <algorithm>

namespace vorlane {

WrappingLabel::WrappingLabel(const QString& text, Selection selection, QWidget* parent)
    : QLabel(text, parent), selectableOnEnter_(selection == Selection::byMouse) {
  setTextFormat(Qt::PlainText);
  setWordWrap(true);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  heights_.fill({-1, 0});
}

bool WrappingLabel::event(QEvent* event) {
  if (selectableOnEnter_ && event->type() == QEvent::Enter) {
    selectableOnEnter_ = false;
    setTextInteractionFlags(Qt::TextSelectableByMouse);
  }
  return QLabel::event(event);
}

QSize WrappingLabel::sizeHint() const {
  // About as wide as QLabel would choose for a long text; the layout decides anyway.
  const QFontMetrics metrics = fontMetrics();
  return minimumSizeHint() + QSize(metrics.averageCharWidth() * 80, 0);
}

QSize WrappingLabel::minimumSizeHint() const {
  const QMargins margins = contentsMargins();
  const int frame = 2 * margin();
  return {margins.left() + margins.right() + frame,
          fontMetrics().height() + margins.top() + margins.bottom() + frame};
}

int WrappingLabel::heightForWidth(int width) const {
  if (text() != measuredText_ || font() != measuredFont_ ||
      textInteractionFlags() != measuredFlags_) {
    measuredText_ = text();
    measuredFont_ = font();
    measuredFlags_ = textInteractionFlags();
    heights_.fill({-1, 0});
  }
  const auto known = std::find_if(heights_.begin(), heights_.end(),
                                  [width](const auto& slot) { return slot.first == width; });
  if (known != heights_.end()) return known->second;
  const int height = QLabel::heightForWidth(width);
  std::rotate(heights_.begin(), heights_.end() - 1, heights_.end());
  heights_.front() = {width, height};
  return height;
}

}  // namespace vorlane
