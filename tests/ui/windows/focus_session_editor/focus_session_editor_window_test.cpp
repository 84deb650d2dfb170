#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>
#include <stdexcept>

#include "tests/support/text_role_check.h"
#include "tests/support/text_samples.h"
#include "ui/kit/window_text.h"
#include "ui/windows/focus_session_editor/focus_session_editor_controller.h"
#include "ui/windows/focus_session_editor/focus_session_editor_view.h"

namespace vorlane {
namespace {

constexpr const char* limitSentence = "Keep the goal to 120 characters.";

// Records every goal a start is given; optionally refuses, as the session may.
struct FakeStarts {
  std::vector<std::string> goals;
  bool refuse = false;
  std::function<void(const std::string&)> start() {
    return [this](const std::string& goal) {
      goals.push_back(goal);
      if (refuse) {
        throw std::runtime_error(
            "Use a goal of 1\u2013120 characters and a duration from 1 to 90 minutes.");
      }
    };
  }
};

class FocusSessionEditorWindow : public ::testing::Test {
 protected:
  FocusSessionEditorController controller;
  FakeStarts starts;

  FocusSessionEditorView& view() {
    auto* content = dynamic_cast<FocusSessionEditorView*>(controller.host().content());
    if (content == nullptr) throw std::logic_error("no focus session editor on screen");
    return *content;
  }
  QWidget& window() { return *controller.host().window(); }
  void open(int minutes = 25, bool replacing = false, bool starter = false) {
    controller.show(minutes, replacing, starter, starts.start());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  }
  // As a paste would put it in: tabs, line breaks and all.
  void enter(const std::string& text) {
    view().field()->clear();
    view().field()->insert(QString::fromUtf8(text.data(), qsizetype(text.size())));
  }
};

QString labelNamed(const QWidget& widget, const char* name) {
  const auto* label = widget.findChild<QLabel*>(name);
  return label ? label->text() : QStringLiteral("(none)");
}

TEST_F(FocusSessionEditorWindow, EachFormShowsItsTitlePromptAndHint) {
  const QString plainHint =
      "Give this session a small, clear goal. Your focus history stays on this computer.";
  const QString starterHint =
      "Just five minutes. Then keep going, mark it done, or stop for now. Nothing starts "
      "automatically.";
  const QString replacingHint =
      "Your current session stays unchanged until you start this new one. Adding minutes "
      "instead keeps the same task.";
  struct Row {
    const char* name;
    int minutes;
    bool replacing, starter;
    const char* title;
    QString prompt, hint;
  };
  const Row rows[] = {
      {"new", 25, false, false, "New focus session", "What are you focusing on?", plainHint},
      {"starter", 5, false, true, "Just five minutes", "What\u2019s one small step you can take?",
       starterHint},
      {"replacing", 40, true, false, "New focus session", "What are you focusing on?",
       replacingHint},
      {"replacing wins over starter", 5, true, true, "Just five minutes",
       "What\u2019s one small step you can take?", replacingHint},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    open(row.minutes, row.replacing, row.starter);
    EXPECT_EQ(window().windowTitle(), row.title);
    EXPECT_EQ(window().width(), 440);
    EXPECT_GE(window().height(), 235);
    EXPECT_EQ(window().minimumSize(), window().maximumSize()) << "not resizable";
    EXPECT_EQ(labelNamed(view(), "prompt"), row.prompt);
    EXPECT_EQ(labelNamed(view(), "hint"), row.hint);
    EXPECT_FALSE(view().limitLine()->isVisible());
    EXPECT_EQ(view().field()->placeholderText(), "e.g. Finish the proposal");
    EXPECT_EQ(view().field()->accessibleName(), "What are you focusing on?");
    EXPECT_EQ(view().startButton()->text(), QString("Start %1 min").arg(row.minutes));
    EXPECT_FALSE(view().startButton()->isEnabled());
    EXPECT_EQ(view().cancelButton()->text(), "Cancel");
    EXPECT_EQ(QApplication::focusWidget(), view().field());
    QTest::keyClick(view().field(), Qt::Key_Escape);
    EXPECT_FALSE(window().isVisible());
  }
  EXPECT_TRUE(starts.goals.empty());
}

TEST_F(FocusSessionEditorWindow, TypedGoalReachesTheStartCleanedOnceAndTheWindowCloses) {
  open();
  QTest::keyClicks(view().field(), "  write ");
  view().field()->insert("\t");
  QTest::keyClicks(view().field(), " the   report ");
  ASSERT_EQ(view().field()->text(), "  write \t the   report ");
  EXPECT_TRUE(view().startButton()->isEnabled());
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_EQ(starts.goals, std::vector<std::string>{"write the report"});
  EXPECT_FALSE(window().isVisible());
  EXPECT_FALSE(controller.isOpen());

  open();
  QTest::keyClicks(view().field(), "  tidy   the desk");
  QTest::mouseClick(view().startButton(), Qt::LeftButton);
  EXPECT_EQ(starts.goals.back(), "tidy the desk");
  EXPECT_EQ(starts.goals.size(), 2u);
  EXPECT_FALSE(window().isVisible());
}

TEST_F(FocusSessionEditorWindow, GoalsAreJudgedInCharactersAsTheUserSeesThem) {
  struct Row {
    const char* name;
    std::string typed;
    bool valid;
    bool limitShown;
  };
  const Row rows[] = {
      {"empty", "", false, false},
      {"blanks, tabs and line breaks", " \t \n  \r\n ", false, false},
      {"120 letters", repeated("a", 120), true, false},
      {"121 letters", repeated("a", 121), false, true},
      {"130 typed that clean to 120", "     " + repeated("a", 120) + "     ", true, false},
      {"120 joined emoji", repeated(familyEmoji, 120), true, false},
      {"121 joined emoji", repeated(familyEmoji, 121), false, true},
      {"10,000 characters", repeated("b", 10'000), false, true},
      {"right to left", "\u05DC\u05DB\u05EA\u05D5\u05D1 \u05D3\u05D5\u05D7", true, false},
      {"control characters", "\x01\x02\x1b[31m", true, false},
      {"NUL", std::string("a\0b", 3), true, false},
      // Nothing to see is no goal, as an empty one: no start and no limit sentence.
      {"lone NUL", std::string(1, '\0'), false, false},
      {"only control characters", "\x01\x02\x1b", false, false},
      {"only zero-width spaces", "\u200B \u200B\u2060", false, false},
      {"121 zero-width spaces", repeated("\u200B", 121), false, true},
  };
  open();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    enter(row.typed);
    EXPECT_EQ(view().valid(), row.valid);
    EXPECT_EQ(view().startButton()->isEnabled(), row.valid);
    EXPECT_EQ(view().limitLine()->isVisible(), row.limitShown);
    if (row.limitShown) {
      EXPECT_EQ(view().limitLine()->text(), limitSentence);
      EXPECT_EQ(view().limitLine()->palette().color(QPalette::WindowText), errorTextColor());
    }
    if (!row.valid) {
      QTest::keyClick(view().field(), Qt::Key_Return);
      EXPECT_TRUE(window().isVisible()) << "Return does nothing";
    }
  }
  EXPECT_TRUE(starts.goals.empty());

  // The longest goal goes through whole.
  enter(repeated(familyEmoji, 120));
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_EQ(starts.goals, std::vector<std::string>{repeated(familyEmoji, 120)});
}

TEST_F(FocusSessionEditorWindow, ARefusedStartIsSaidInRedAndTheWindowStays) {
  open();
  starts.refuse = true;
  QTest::keyClicks(view().field(), "write the report");
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_EQ(starts.goals.size(), 1u);
  EXPECT_TRUE(window().isVisible());
  EXPECT_TRUE(view().limitLine()->isVisible());
  EXPECT_EQ(view().limitLine()->text().toStdString(),
            "Use a goal of 1\u2013120 characters and a duration from 1 to 90 minutes.");
  EXPECT_EQ(view().field()->text(), "write the report");

  // Typing puts the line back to the limit rule; the next start goes through and closes.
  QTest::keyClicks(view().field(), "!");
  EXPECT_FALSE(view().limitLine()->isVisible());
  starts.refuse = false;
  QTest::mouseClick(view().startButton(), Qt::LeftButton);
  EXPECT_EQ(starts.goals.back(), "write the report!");
  EXPECT_FALSE(window().isVisible());
}

TEST_F(FocusSessionEditorWindow, AskedAgainWhileOpenItIsOnlyRaised) {
  FakeStarts later;
  EXPECT_FALSE(controller.isOpen()) << "no window yet";
  open(25, false, false);
  EXPECT_TRUE(controller.isOpen());
  QTest::keyClicks(view().field(), "half typed");
  controller.show(5, true, true, later.start());
  EXPECT_EQ(window().windowTitle(), "New focus session");
  EXPECT_EQ(view().field()->text(), "half typed");
  EXPECT_EQ(view().startButton()->text(), "Start 25 min");
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_EQ(starts.goals, std::vector<std::string>{"half typed"}) << "the first request's start";
  EXPECT_TRUE(later.goals.empty());

  struct Row {
    const char* name;
    std::function<void(FocusSessionEditorView&)> closeIt;
  };
  const Row rows[] = {
      {"Escape", [](FocusSessionEditorView& v) { QTest::keyClick(v.field(), Qt::Key_Escape); }},
      {"Cancel",
       [](FocusSessionEditorView& v) { QTest::mouseClick(v.cancelButton(), Qt::LeftButton); }},
      {"title bar", [](FocusSessionEditorView& v) { v.window()->close(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    open(5, false, true);
    EXPECT_EQ(window().windowTitle(), "Just five minutes") << "a closed editor takes new arguments";
    QTest::keyClicks(view().field(), "leftover");
    row.closeIt(view());
    EXPECT_FALSE(controller.isOpen());
    open();
    EXPECT_EQ(view().field()->text(), "") << "starts fresh";
    QTest::keyClick(view().field(), Qt::Key_Escape);
  }
  EXPECT_EQ(starts.goals.size(), 1u) << "nothing started by a close";
}

TEST_F(FocusSessionEditorWindow, ItsLinesTakeTheSharedTextSizes) {
  open();
  const FocusSessionEditorView& shown = view();
  EXPECT_TRUE(testing::sizedAs(shown.findChild<QLabel*>("prompt"), TextRole::headline));
  EXPECT_TRUE(testing::sizedAs(shown.findChild<QLabel*>("hint"), TextRole::caption));
  EXPECT_TRUE(testing::sizedAs(shown.limitLine(), TextRole::caption));
}

}  // namespace
}  // namespace vorlane
