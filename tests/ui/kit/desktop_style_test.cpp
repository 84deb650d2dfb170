#include "ui/kit/desktop_style.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QStyleFactory>

namespace vorlane {
namespace {

// Regression: "Add reminder" and "Enable calendar suggestions" had their text touching the
// button's frame.
TEST(DesktopStyle, ButtonTitlesKeepRoomOnEachSide) {
  DesktopStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
  for (const char* title :
       {"Add reminder", "Enable calendar suggestions", "Manage history\u2026", "OK"}) {
    SCOPED_TRACE(title);
    QPushButton button(QString::fromUtf8(title));
    button.setStyle(&style);
    const int text = button.fontMetrics().horizontalAdvance(button.text());
    EXPECT_GE(button.sizeHint().width(), text + 2 * DesktopStyle::buttonPadding);
  }
  // A button without a title keeps the size its style gives it.
  QPushButton plain;
  QPushButton styled;
  styled.setStyle(&style);
  plain.setStyle(style.baseStyle());
  EXPECT_EQ(styled.sizeHint(), plain.sizeHint());
}

}  // namespace
}  // namespace vorlane
