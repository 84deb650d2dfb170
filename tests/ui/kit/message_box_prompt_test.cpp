#include "ui/kit/message_box_prompt.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <optional>
#include <vector>

namespace vorlane {
namespace {

const Confirmation clearHistory{QStringLiteral("Clear all focus history?"),
                                QStringLiteral("Clear history")};

QMessageBox* openBox(QWidget& parent) { return parent.findChild<QMessageBox*>(); }

QAbstractButton* button(QMessageBox& box, const QString& text) {
  for (QAbstractButton* b : box.buttons()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

TEST(MessageBoxPrompt, AsksOverItsWindowAndReturnsAtOnce) {
  QWidget window;
  window.show();
  MessageBoxPrompt prompt;
  std::vector<bool> answers;
  prompt.ask(window, clearHistory, [&](bool confirmed) { answers.push_back(confirmed); });
  EXPECT_TRUE(answers.empty()) << "no answer before the user gives one";
  QMessageBox* box = openBox(window);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(box->windowModality(), Qt::WindowModal);
  EXPECT_EQ(box->text(), "Clear all focus history?");
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
  ASSERT_NE(button(*box, "Clear history"), nullptr);
  ASSERT_NE(button(*box, "Cancel"), nullptr);
  EXPECT_EQ(box->buttonRole(button(*box, "Clear history")), QMessageBox::DestructiveRole);
  EXPECT_EQ(box->defaultButton(), button(*box, "Clear history"));
  EXPECT_EQ(box->escapeButton(), button(*box, "Cancel"));
}

TEST(MessageBoxPrompt, AnswersOnceForEachWayOut) {
  const struct {
    const char* name;
    std::function<void(QMessageBox&)> act;
    bool confirmed;
  } rows[] = {
      {"confirm button", [](QMessageBox& b) { button(b, "Clear history")->click(); }, true},
      {"cancel button", [](QMessageBox& b) { button(b, "Cancel")->click(); }, false},
      {"Escape", [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); }, false},
      {"closed by the window manager", [](QMessageBox& b) { b.close(); }, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    QWidget window;
    window.show();
    MessageBoxPrompt prompt;
    std::vector<bool> answers;
    prompt.ask(window, clearHistory, [&](bool confirmed) { answers.push_back(confirmed); });
    QMessageBox* box = openBox(window);
    ASSERT_NE(box, nullptr);
    row.act(*box);
    EXPECT_EQ(answers, std::vector<bool>{row.confirmed});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(openBox(window), nullptr) << "the box goes once answered";
  }
}

TEST(MessageBoxPrompt, AnOrdinaryChoiceIsNotMarkedDestructive) {
  QWidget window;
  window.show();
  MessageBoxPrompt prompt;
  prompt.ask(window,
             {QStringLiteral("Reset mascot appearance to its defaults?"),
              QStringLiteral("Reset appearance"), false},
             [](bool) {});
  QMessageBox* box = openBox(window);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->buttonRole(button(*box, "Reset appearance")), QMessageBox::AcceptRole);
}

TEST(MessageBoxPrompt, AWindowThatGoesFirstHearsNothing) {
  auto window = std::make_unique<QWidget>();
  window->show();
  MessageBoxPrompt prompt;
  int answers = 0;
  prompt.ask(*window, clearHistory, [&](bool) { ++answers; });
  window.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(answers, 0);
}

TEST(MessageBoxPrompt, AnAnswerThatClosesItsWindowIsSafe) {
  auto* window = new QWidget;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  MessageBoxPrompt prompt;
  int answers = 0;
  prompt.ask(*window, clearHistory, [&](bool) {
    ++answers;
    window->close();
  });
  QMessageBox* box = openBox(*window);
  ASSERT_NE(box, nullptr);
  button(*box, "Clear history")->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(answers, 1);
}

}  // namespace
}  // namespace vorlane
