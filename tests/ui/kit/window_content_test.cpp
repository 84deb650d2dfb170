#include "ui/kit/window_content.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/kit/feature_window.h"
#include "ui/kit/message_line.h"

namespace vorlane {
namespace {

using Reach = WindowContent::EscapeReach;

void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// A field that uses Escape itself, as a hot-key recorder does.
class EscapeTaker final : public QLineEdit {
 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape) return event->accept();
    QLineEdit::keyPressEvent(event);
  }
};

// A content with a plain field, a field that keeps Escape, a drop-down list and a message
// line, recording which of its actions ran.
struct Form {
  WindowContent* content = nullptr;
  QLineEdit* field = nullptr;
  EscapeTaker* taker = nullptr;
  QComboBox* box = nullptr;
  MessageLine* line = nullptr;
  std::vector<std::string> ran;

  WindowContent* make(bool withReturn, std::optional<Reach> escape) {
    content = new WindowContent;
    auto* column = new QVBoxLayout(content);
    field = new QLineEdit(content);
    taker = new EscapeTaker;
    taker->setParent(content);
    box = new QComboBox(content);
    box->addItems({"one", "two"});
    line = new MessageLine(TextRole::callout, content);
    for (QWidget* part : std::initializer_list<QWidget*>{field, taker, box, line}) {
      column->addWidget(part);
    }
    content->setMessageLine(line);
    content->setFirstField(field);
    if (withReturn) content->setReturnAction([this] { ran.push_back("return"); });
    if (escape) content->setEscapeAction([this] { ran.push_back("escape"); }, *escape);
    return content;
  }
};

// The host routes Return and Escape to the content's actions from wherever they were left,
// an open list keeps its own Escape, and Escape nobody declared closes the window.
TEST(WindowContent, TheHostRoutesReturnAndEscapeToTheContentsActions) {
  enum class Target { field, taker, content, openList };
  struct Row {
    const char* name;
    bool withReturn;
    std::optional<Reach> escape;
    Target target;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::vector<std::string> ran;
    bool closes;
  };
  const Row rows[] = {
      {"Return in a field",
       true,
       std::nullopt,
       Target::field,
       Qt::Key_Return,
       Qt::NoModifier,
       {"return"},
       false},
      {"Enter on the content",
       true,
       std::nullopt,
       Target::content,
       Qt::Key_Enter,
       Qt::NoModifier,
       {"return"},
       false},
      {"Return with no action",
       false,
       std::nullopt,
       Target::field,
       Qt::Key_Return,
       Qt::NoModifier,
       {},
       false},
      {"Escape with no action closes",
       false,
       std::nullopt,
       Target::field,
       Qt::Key_Escape,
       Qt::NoModifier,
       {},
       true},
      {"Escape with no action, kept by its field",
       false,
       std::nullopt,
       Target::taker,
       Qt::Key_Escape,
       Qt::NoModifier,
       {},
       false},
      {"Escape with Shift",
       false,
       std::nullopt,
       Target::field,
       Qt::Key_Escape,
       Qt::ShiftModifier,
       {},
       false},
      {"Escape left alone",
       true,
       Reach::leftAlone,
       Target::field,
       Qt::Key_Escape,
       Qt::NoModifier,
       {"escape"},
       false},
      {"Escape left alone, kept by its field",
       true,
       Reach::leftAlone,
       Target::taker,
       Qt::Key_Escape,
       Qt::NoModifier,
       {},
       false},
      {"Escape from the fields",
       true,
       Reach::fromFields,
       Target::field,
       Qt::Key_Escape,
       Qt::NoModifier,
       {"escape"},
       false},
      {"Escape from the fields, past one that keeps it",
       true,
       Reach::fromFields,
       Target::taker,
       Qt::Key_Escape,
       Qt::NoModifier,
       {"escape"},
       false},
      {"Escape from the fields with a list open",
       true,
       Reach::fromFields,
       Target::openList,
       Qt::Key_Escape,
       Qt::NoModifier,
       {},
       false},
      {"Escape left alone with a list open",
       true,
       Reach::leftAlone,
       Target::openList,
       Qt::Key_Escape,
       Qt::NoModifier,
       {},
       false},
      {"Escape with no action and a list open",
       false,
       std::nullopt,
       Target::openList,
       Qt::Key_Escape,
       Qt::NoModifier,
       {},
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FeatureWindow host;
    Form form;
    host.show("Form", QSize(300, FeatureWindow::contentHeight),
              {.resizable = false, .reuseVisible = false},
              [&](const FeatureWindow::CloseAction&) -> QWidget* {
                return form.make(row.withReturn, row.escape);
              });
    const QPointer<QWidget> window(host.window());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.data()));
    QWidget* target = form.field;
    if (row.target == Target::taker) target = form.taker;
    if (row.target == Target::content) target = form.content;
    if (row.target == Target::openList) {
      form.box->showPopup();
      ASSERT_NE(QApplication::activePopupWidget(), nullptr);
      target = QApplication::activePopupWidget();
    }
    target->setFocus();
    QTest::keyClick(target, row.key, row.modifiers);
    settle();
    EXPECT_EQ(form.ran, row.ran);
    EXPECT_EQ(window.isNull(), row.closes);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "an open list closed";
  }
}

// A content just replaced by a new one no longer answers the keys.
TEST(WindowContent, OnlyTheShownContentAnswersTheKeys) {
  FeatureWindow host;
  Form first;
  Form second;
  const auto show = [&](Form& form) {
    host.show("Form", QSize(300, FeatureWindow::contentHeight),
              {.resizable = false, .reuseVisible = false},
              [&](const FeatureWindow::CloseAction&) -> QWidget* {
                return form.make(true, Reach::fromFields);
              });
  };
  show(first);
  const QPointer<QLineEdit> oldField(first.field);
  show(second);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(host.window()));
  QTest::keyClick(second.field, Qt::Key_Return);
  QTest::keyClick(second.field, Qt::Key_Escape);
  if (oldField) QTest::keyClick(oldField.data(), Qt::Key_Escape);
  EXPECT_TRUE(first.ran.empty());
  EXPECT_EQ(second.ran, (std::vector<std::string>{"return", "escape"}));
  EXPECT_TRUE(second.field->hasFocus()) << "the first field takes the keyboard";
}

// Return in a field given its own action runs that action only, before the field sees it; a
// field of several lines is left Shift or Alt with Return.
TEST(WindowContent, AFieldsOwnReturnComesFirstAndOnlyFromThatField) {
  struct Row {
    const char* name;
    bool lines;
    bool fromOther;
    Qt::KeyboardModifiers modifiers;
    std::vector<std::string> ran;
    bool newLine;
  };
  const Row rows[] = {
      {"in the field", false, false, Qt::NoModifier, {"field"}, false},
      {"in the field with Shift", false, false, Qt::ShiftModifier, {"field"}, false},
      {"in another field", false, true, Qt::NoModifier, {"content"}, false},
      {"in a field of lines", true, false, Qt::NoModifier, {"field"}, false},
      {"in a field of lines with Shift", true, false, Qt::ShiftModifier, {}, true},
      // The field leaves Alt with Return alone, so it reaches the content.
      {"in a field of lines with Alt", true, false, Qt::AltModifier, {"content"}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> ran;
    QPlainTextEdit* lines = nullptr;
    QWidget* field = nullptr;
    QLineEdit* other = nullptr;
    FeatureWindow host;
    host.show("Form", QSize(300, FeatureWindow::contentHeight),
              {.resizable = false, .reuseVisible = false},
              [&](const FeatureWindow::CloseAction&) -> QWidget* {
                auto* content = new WindowContent;
                auto* column = new QVBoxLayout(content);
                if (row.lines) {
                  lines = new QPlainTextEdit(content);
                  field = lines;
                } else {
                  field = new QLineEdit(content);
                }
                other = new QLineEdit(content);
                column->addWidget(field);
                column->addWidget(other);
                content->setReturnAction([&] { ran.push_back("content"); });
                content->setFieldReturnAction(*field, [&] { ran.push_back("field"); });
                return content;
              });
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host.window()));
    QTest::keyClick(row.fromOther ? other : field, Qt::Key_Return, row.modifiers);
    EXPECT_EQ(ran, row.ran);
    // The field was empty: anything in it now is the line break.
    if (lines != nullptr) {
      EXPECT_EQ(!lines->toPlainText().isEmpty(), row.newLine);
    }
  }
}

struct Silent : std::exception {
  const char* what() const noexcept override { return ""; }
};

// `attempt` runs the action and shows a failure's own sentence, or the general one when it
// carries none, in the content's line; what ran through leaves the line as it was.
TEST(WindowContent, AttemptShowsAFailuresSentenceInTheMessageLine) {
  const QString general = QStringLiteral("That did not work. Try again.");
  struct Row {
    const char* name;
    std::function<void()> action;
    bool ran;
    QString shown;
  };
  const Row rows[] = {
      {"runs through", [] {}, true, QString()},
      {"a refusal with words", [] { throw std::runtime_error("The disk is full."); }, false,
       QStringLiteral("The disk is full.")},
      {"a refusal without words", [] { throw Silent(); }, false, general},
      {"not an exception", [] { throw 7; }, false, general},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WindowContent content;
    MessageLine line(TextRole::callout, &content);
    content.setMessageLine(&line);
    content.show();
    EXPECT_EQ(content.attempt(row.action), row.ran);
    EXPECT_EQ(line.text(), row.shown);
    EXPECT_EQ(line.showsError(), !row.shown.isEmpty());
    EXPECT_EQ(line.isVisible(), !row.shown.isEmpty());
    // The same sentence for a content that draws it itself, and nothing shown.
    line.clearMessage();
    EXPECT_EQ(WindowContent::failureOf(row.action).value_or(QString()), row.shown);
    EXPECT_FALSE(line.isVisible());
  }
  EXPECT_EQ(failureSentence(nullptr), general);
}

// An action that lets go of its content and then fails is reported, not shown.
TEST(WindowContent, AttemptSurvivesAnActionThatDeletesItsContent) {
  auto* content = new WindowContent;
  auto* line = new MessageLine(TextRole::callout, content);
  content->setMessageLine(line);
  const QPointer<WindowContent> alive(content);
  EXPECT_FALSE(content->attempt([content] {
    delete content;
    throw std::runtime_error("gone");
  }));
  EXPECT_TRUE(alive.isNull());
  WindowContent silent;
  EXPECT_FALSE(silent.attempt([] { throw std::runtime_error("no line"); }));
}

// A window that is its own content comes back where the user left it (with its size when
// kept), unless always centred; an open one is only raised; a retired one is forgotten.
TEST(FeatureWindow, AWholeWindowIsReopenedWhereTheUserLeftIt) {
  struct Row {
    const char* name;
    FeatureWindow::Placement placement;
    bool keepSize;
    bool retire;
    bool samePlace;
    bool sameSize;
  };
  const Row rows[] = {
      {"where left, with its size", FeatureWindow::Placement::whereLeft, true, false, true, true},
      {"where left, at its own size", FeatureWindow::Placement::whereLeft, false, false, true,
       false},
      {"always centred", FeatureWindow::Placement::centred, true, false, false, false},
      {"retired, not closed", FeatureWindow::Placement::whereLeft, true, true, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FeatureWindow host(row.placement);
    int made = 0;
    const auto make = [&]() -> QWidget* {
      ++made;
      auto* window = new QWidget(nullptr, Qt::Window);
      window->resize(320, 200);
      return window;
    };
    QWidget* first = host.open(make, row.keepSize);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(host.open(make, row.keepSize), first) << "an open window is only raised";
    EXPECT_EQ(made, 1);
    first->move(21, 43);
    first->resize(400, 260);
    const QPointer<QWidget> gone(first);
    if (row.retire) {
      host.retire();
      EXPECT_FALSE(gone->isVisible());
      EXPECT_EQ(host.window(), nullptr);
    } else {
      first->close();
    }
    settle();
    EXPECT_TRUE(gone.isNull()) << "deleted once the loop runs";
    QWidget* second = host.open(make, row.keepSize);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(second->pos() == QPoint(21, 43), row.samePlace);
    EXPECT_EQ(second->size() == QSize(400, 260), row.sameSize);
  }
  FeatureWindow empty;
  EXPECT_EQ(empty.open([] { return nullptr; }, true), nullptr);
  EXPECT_EQ(empty.window(), nullptr);
}

}  // namespace
}  // namespace vorlane
