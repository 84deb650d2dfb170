#include "ui/kit/desktop_style.h"

#include <QStyleOptionButton>
#include <algorithm>

namespace vorlane {

QSize DesktopStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
  QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
  if (type != CT_PushButton) return result;
  const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
  if (button == nullptr || button->text.isEmpty()) return result;
  const int frame = pixelMetric(PM_DefaultFrameWidth, option, widget);
  result.setWidth(std::max(result.width(), size.width() + 2 * (buttonPadding + frame)));
  return result;
}

}  // namespace vorlane
