#include "ui/kit/wrapping_label.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>

namespace vorlane {
namespace {

constexpr int width = 140;

// What a plain wrapped QLabel says for the same text and font, measured afresh.
int plainHeight(const QString& text, const QFont& font) {
  QLabel reference(text);
  reference.setTextFormat(Qt::PlainText);
  reference.setWordWrap(true);
  reference.setFont(font);
  return reference.heightForWidth(width);
}

TEST(WrappingLabel, RemembersHeightsOnlyForTheTextAndFontItWasAskedWith) {
  WrappingLabel label(QStringLiteral("Call the bank"));
  const QFont normal = label.font();
  QFont large = normal;
  large.setPointSizeF(normal.pointSizeF() * 2);
  const QString longText =
      QStringLiteral("Draft the quarterly report for the board and send it before lunch");
  struct Step {
    const char* name;
    QString text;
    QFont font;
  };
  const Step steps[] = {
      {"short text", QStringLiteral("Call the bank"), normal},
      {"the text grows", longText, normal},
      {"the font grows", longText, large},
      {"back to the first", QStringLiteral("Call the bank"), normal},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    label.setText(step.text);
    label.setFont(step.font);
    // Asked twice, as layouts do; the second answer comes from memory.
    EXPECT_EQ(label.heightForWidth(width), plainHeight(step.text, step.font));
    EXPECT_EQ(label.heightForWidth(width), plainHeight(step.text, step.font));
  }
  EXPECT_GT(plainHeight(longText, normal), plainHeight(QStringLiteral("Call the bank"), normal))
      << "the long text must wrap at this width for the steps to mean anything";
}

TEST(WrappingLabel, BecomesSelectableWhenThePointerEntersAtTheSameHeight) {
  const QString text =
      QStringLiteral("Focused on: draft the chapter on the harbour's trade routes and ledgers");
  WrappingLabel label(text, WrappingLabel::Selection::byMouse);
  EXPECT_FALSE(label.textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
  const int before = label.heightForWidth(width);

  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&label, &enter);
  EXPECT_TRUE(label.textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
  EXPECT_EQ(label.heightForWidth(width), before);
}

}  // namespace
}  // namespace vorlane
