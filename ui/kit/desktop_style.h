#pragma once

#include <QProxyStyle>

namespace vorlane {

// The application's widget style: the desktop's own, with room around a push button's text.
// Fusion leaves about five pixels a side, so a longer title ("Add reminder") seems to touch
// the frame, the default button's darker one most of all.
class DesktopStyle final : public QProxyStyle {
 public:
  // At least this much on each side of a button's text and icon.
  static constexpr int buttonPadding = 12;

  using QProxyStyle::QProxyStyle;

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override;
};

}  // namespace vorlane
