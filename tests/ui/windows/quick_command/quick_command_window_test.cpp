#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "core/reminders/reminder_parser.h"
#include "tests/support/text_samples.h"
#include "ui/kit/window_text.h"
#include "ui/windows/quick_command/quick_command_controller.h"
#include "ui/windows/quick_command/quick_command_view.h"

namespace vorlane {
namespace {

constexpr const char* help =
    "Try focus 25m finish proposal, remind in 40m stretch, pause, resume, or stop.";

// Answers as the coordinator would: blanks get the help sentence, "remind" without a time the
// parser's refusal, anything else a reply naming the command.
struct FakeCommands {
  std::vector<std::string> received;
  std::function<std::string(const std::string&)> execute() {
    return [this](const std::string& text) -> std::string {
      received.push_back(text);
      if (text.find_first_not_of(" \t\n") == std::string::npos) throw std::runtime_error(help);
      if (text == "remind")
        throw ReminderParser::ParseError(ReminderParser::ErrorCase::noTimeFound);
      if (text == "silent") throw std::runtime_error("");
      if (text == "odd") throw 42;
      return "Done: " + text + ".";
    };
  }
};

QuickCommandView& view(QuickCommandController& controller) {
  auto* content = dynamic_cast<QuickCommandView*>(controller.host().content());
  if (content == nullptr) throw std::logic_error("no quick command view on screen");
  return *content;
}

QStringList labels(const QWidget& widget) {
  QStringList all;
  for (const QLabel* label : widget.findChildren<QLabel*>()) {
    if (label->isVisibleTo(&widget) && !label->text().isEmpty()) all << label->text();
  }
  return all;
}

TEST(QuickCommandWindow, ShowsItsLinesAndTheWarningOnlyWithoutTheShortcut) {
  const QString examples =
      "focus 25m finish proposal\nremind in 40m check the oven\npause \u00B7 resume \u00B7 stop";
  const QString warning =
      "The global shortcut is unavailable or in use. Quick actions still work from the system "
      "tray.";
  for (const bool available : {true, false}) {
    SCOPED_TRACE(available);
    QuickCommandController controller;
    FakeCommands commands;
    controller.show(available, commands.execute());
    QWidget* window = controller.host().window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(window->windowTitle(), "Vorlane quick actions");
    EXPECT_EQ(window->width(), 510);
    // As tall as its lines: the buttons sit the column's inset above the bottom edge, with no
    // empty band over them.
    QCoreApplication::processEvents();
    const QWidget& run = *view(controller).runButton();
    const int below = window->height() - run.mapTo(window, QPoint(0, run.height())).y();
    EXPECT_LE(below, 24);
    EXPECT_GE(below, 12);
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "not resizable";
    QStringList expected{"A small action. Back to your work.", "Ctrl+Alt+Space", examples};
    if (!available) expected << warning;
    EXPECT_EQ(labels(view(controller)).join("\n").toStdString(), expected.join("\n").toStdString());
    QLineEdit* field = view(controller).field();
    EXPECT_EQ(field->placeholderText(), "focus 25m finish proposal");
    EXPECT_EQ(field->accessibleName(), "Quick action command");
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_FALSE(view(controller).resultLine()->isVisibleTo(window));
    EXPECT_EQ(view(controller).closeButton()->text(), "Close");
    EXPECT_EQ(view(controller).runButton()->text(), "Run");
  }
}

TEST(QuickCommandWindow, EachRunShowsTheReplyOrTheRefusalInRedUntilTheNext) {
  QuickCommandController controller;
  FakeCommands commands;
  controller.show(true, commands.execute());
  ASSERT_TRUE(QTest::qWaitForWindowActive(controller.host().window()));
  QuickCommandView& window = view(controller);
  struct Row {
    const char* typed;
    bool clickRun;  // else Return in the field
    bool runEnabled;
    const char* shown;
    bool failed;
    const char* left;
  };
  const Row rows[] = {
      {"  focus 25m write  ", false, true, "Done:   focus 25m write  .", false, ""},
      {"remind", false, true, "Add a time, such as 4pm, in 25m, or weekdays 9:30am.", true,
       "remind"},
      {"pause", true, true, "Done: pause.", false, ""},
      // Return is not guarded: blanks reach the coordinator, whose help sentence stays red.
      {"   ", false, false, help, true, "   "},
      {"silent", false, true, "That did not work. Try again.", true, "silent"},
      {"odd", true, true, "That did not work. Try again.", true, "odd"},
      {"stop", true, true, "Done: stop.", false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    window.field()->clear();
    QTest::keyClicks(window.field(), row.typed);
    EXPECT_EQ(window.runButton()->isEnabled(), row.runEnabled);
    if (row.clickRun) {
      QTest::mouseClick(window.runButton(), Qt::LeftButton);
    } else {
      QTest::keyClick(window.field(), Qt::Key_Return);
    }
    ASSERT_FALSE(commands.received.empty());
    EXPECT_EQ(commands.received.back(), row.typed) << "passed on exactly as typed";
    QLabel* result = window.resultLine();
    EXPECT_TRUE(result->isVisible());
    EXPECT_EQ(result->text().toStdString(), row.shown);
    EXPECT_EQ(result->textFormat(), Qt::PlainText);
    EXPECT_EQ(window.failed(), row.failed);
    // A reply after a refusal is dimmed text again, not a paler red.
    EXPECT_EQ(result->palette().color(QPalette::WindowText),
              row.failed ? errorTextColor() : secondaryTextColor(window));
    EXPECT_EQ(window.field()->text().toStdString(), row.left);
    EXPECT_EQ(QApplication::focusWidget(), window.field());
    EXPECT_TRUE(controller.host().window()->isVisible()) << "never closes by itself";
  }
  EXPECT_EQ(commands.received.size(), std::size(rows)) << "one run per Return or click";
}

// Regression: a long reply grew the 510 x 285 window to 1105 px, Close and Run off screen.
TEST(QuickCommandWindow, ALongReplyIsShortenedAndTheWindowKeepsItsSize) {
  const struct {
    const char* name;
    std::string typed;
  } rows[] = {
      {"5,000 characters", repeated("water the plants ", 295)},
      {"right to left", repeated("\u0627\u062A\u0635\u0644 \u0628\u0623\u0645\u064A ", 560)},
      {"one unbroken word", std::string(5000, 'W')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    QuickCommandController controller;
    FakeCommands commands;
    controller.show(true, commands.execute());
    QWidget* window = controller.host().window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const QSize before = window->size();
    view(controller).field()->setText(QString::fromStdString(row.typed));
    QTest::keyClick(view(controller).field(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(window->size(), before);
    const QString shown = view(controller).resultLine()->text();
    EXPECT_LE(shown.count(QLatin1Char('\n')), 1) << "two lines at most";
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    for (QPushButton* button : {view(controller).closeButton(), view(controller).runButton()}) {
      const QRect inWindow(button->mapTo(window, QPoint(0, 0)), button->size());
      EXPECT_TRUE(window->rect().contains(inWindow)) << button->text().toStdString();
    }
  }
}

// Regression: "Saved: water the plants … water th…" lost the time the reminder was saved for.
TEST(QuickCommandWindow, ALongReplyCutsTheTypedTextAndKeepsItsTime) {
  QuickCommandController controller;
  controller.show(true, [](const std::string& text) {
    return "Saved: " + isolatedText(QString::fromStdString(text)).toStdString() +
           " \u2014 tomorrow at 9:00 am.";
  });
  ASSERT_TRUE(QTest::qWaitForWindowActive(controller.host().window()));
  view(controller).field()->setText(QString::fromStdString(repeated("water the plants ", 60)));
  QTest::keyClick(view(controller).field(), Qt::Key_Return);
  const QString shown = view(controller).resultLine()->text();
  EXPECT_LE(shown.count(QLatin1Char('\n')), 1) << "two lines at most";
  EXPECT_TRUE(shown.startsWith(QStringLiteral("Saved: \u2068water the plants")))
      << shown.toStdString();
  EXPECT_TRUE(shown.endsWith(QStringLiteral("\u2026\u2069 \u2014 tomorrow at 9:00 am.")))
      << shown.toStdString();
}

TEST(QuickCommandWindow, AskedAgainWhileOpenItKeepsEverythingAndAfterACloseStartsFresh) {
  QuickCommandController controller;
  FakeCommands first, second;
  controller.show(true, first.execute());
  ASSERT_TRUE(QTest::qWaitForWindowActive(controller.host().window()));
  QTest::keyClicks(view(controller).field(), "pause");
  QTest::keyClick(view(controller).field(), Qt::Key_Return);
  QTest::keyClicks(view(controller).field(), "half typed");

  controller.show(false, second.execute());
  EXPECT_EQ(view(controller).field()->text(), "half typed");
  EXPECT_EQ(view(controller).resultLine()->text(), "Done: pause.");
  EXPECT_FALSE(labels(view(controller)).join(" ").contains("unavailable"));
  QTest::keyClick(view(controller).field(), Qt::Key_Return);
  EXPECT_EQ(first.received.size(), 2u) << "the first request's callback stays";
  EXPECT_TRUE(second.received.empty());

  struct Row {
    const char* name;
    std::function<void(QuickCommandView&)> closeIt;
  };
  const Row rows[] = {
      {"Escape", [](QuickCommandView& v) { QTest::keyClick(v.field(), Qt::Key_Escape); }},
      {"Close", [](QuickCommandView& v) { QTest::mouseClick(v.closeButton(), Qt::LeftButton); }},
      {"title bar", [](QuickCommandView& v) { v.window()->close(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QTest::keyClicks(view(controller).field(), "leftover");
    row.closeIt(view(controller));
    EXPECT_FALSE(controller.host().window()->isVisible());
    controller.show(false, second.execute());
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller.host().window()));
    EXPECT_EQ(view(controller).field()->text(), "");
    EXPECT_FALSE(view(controller).resultLine()->isVisible());
    EXPECT_TRUE(labels(view(controller)).join(" ").contains("unavailable"));
    EXPECT_EQ(QApplication::focusWidget(), view(controller).field());
  }
}

}  // namespace
}  // namespace vorlane
