#include "ui/kit/wrapping_label.h"

#include <algorithm>

namespace vorlane {

WrappingLabel::WrappingLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setTextFormat(Qt::PlainText);
  setWordWrap(true);
  heights_.fill({-1, 0});
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
