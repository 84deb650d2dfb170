#include "ui/kit/text_roles.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QWidget>

#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

TEST(TextRoles, SizesFollowTheBodyText) {
  const struct {
    TextRole role;
    const char* name;
    int at13, at16, at1;
  } rows[] = {
      {TextRole::title, "title", 28, 34, 2},       {TextRole::title2, "title 2", 22, 27, 2},
      {TextRole::headline, "headline", 13, 16, 1}, {TextRole::body, "body", 13, 16, 1},
      {TextRole::callout, "callout", 12, 15, 1},   {TextRole::caption, "caption", 10, 12, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(rolePixelSize(row.role, 13), row.at13);
    EXPECT_EQ(rolePixelSize(row.role, 16), row.at16);
    EXPECT_EQ(rolePixelSize(row.role, 1), row.at1);
    EXPECT_GE(rolePixelSize(row.role, 0), 1) << "a broken body size still gives a size";
  }
}

TEST(TextRoles, ARoleSetTwiceOrChangedNeverCompounds) {
  QWidget window;
  QLabel label(&window);
  const int body = QFontInfo(QApplication::font(&label)).pixelSize();
  setTextRole(label, TextRole::title);
  setTextRole(label, TextRole::title);
  EXPECT_EQ(label.font().pixelSize(), rolePixelSize(TextRole::title, body));
  setTextRole(label, TextRole::caption);
  EXPECT_EQ(label.font().pixelSize(), rolePixelSize(TextRole::caption, body));
  EXPECT_EQ(label.font().weight(), QFont::Normal);
}

TEST(TextRoles, HeadlineIsSemiboldAndAWeightCanBeAsked) {
  QLabel label;
  setTextRole(label, TextRole::headline);
  EXPECT_EQ(label.font().weight(), QFont::DemiBold);
  setTextRole(label, TextRole::title2, QFont::DemiBold);
  EXPECT_EQ(label.font().weight(), QFont::DemiBold);
  EXPECT_EQ(roleFont(TextRole::caption, label.font()).weight(), QFont::Normal);
}

TEST(TextTones, ALabelTurnsRedAndBackToTheWindowsDimmedText) {
  QWidget window;
  QLabel label(&window);
  setTextTone(label, TextTone::red);
  EXPECT_EQ(label.palette().color(QPalette::WindowText), errorTextColor());
  setTextTone(label, TextTone::secondary);
  EXPECT_EQ(label.palette().color(QPalette::WindowText), secondaryTextColor(window));
  setTextTone(label, TextTone::primary);
  EXPECT_EQ(label.palette().color(QPalette::WindowText),
            window.palette().color(QPalette::WindowText));
}

}  // namespace
}  // namespace vorlane
