#include "ui/preferences/controls/color_dialog_chooser.h"

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace vorlane {
namespace {

TEST(ColorDialogChooser, OpensWithoutWaitingAndAnswersOnlyAChoice) {
  const struct {
    const char* name;
    bool accept;
    int answers;
  } rows[] = {{"chosen", true, 1}, {"cancelled", false, 0}};
  for (const auto& row : rows) {
    QWidget parent;
    int answers = 0;
    QColor answered;
    ColorDialogChooser().choose(parent, QColor(10, 20, 30), QStringLiteral("Rope"),
                                [&](const QColor& color) {
                                  ++answers;
                                  answered = color;
                                });
    // Returned at once, with the dialog open over its window.
    auto* dialog = parent.findChild<QColorDialog*>();
    ASSERT_NE(dialog, nullptr) << row.name;
    EXPECT_TRUE(dialog->isVisible()) << row.name;
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Rope"));
    EXPECT_EQ(dialog->currentColor(), QColor(10, 20, 30));
    EXPECT_FALSE(dialog->testOption(QColorDialog::ShowAlphaChannel)) << row.name;
    dialog->setCurrentColor(QColor(200, 100, 0));
    if (row.accept) {
      dialog->accept();
    } else {
      dialog->reject();
    }
    EXPECT_EQ(answers, row.answers) << row.name;
    if (row.accept) {
      EXPECT_EQ(answered, QColor(200, 100, 0));
    }
  }
}

TEST(ColorDialogChooser, GoesUnansweredWithItsWindow) {
  int answers = 0;
  auto parent = std::make_unique<QWidget>();
  ColorDialogChooser().choose(*parent, Qt::red, QStringLiteral("Banners"),
                              [&](const QColor&) { ++answers; });
  QPointer<QColorDialog> dialog = parent->findChild<QColorDialog*>();
  ASSERT_FALSE(dialog.isNull());
  parent.reset();
  EXPECT_TRUE(dialog.isNull());
  EXPECT_EQ(answers, 0);
}

}  // namespace
}  // namespace vorlane
