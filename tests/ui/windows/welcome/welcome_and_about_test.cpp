#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "ui/kit/feature_window.h"
#include "ui/windows/about/about_controller.h"
#include "ui/windows/about/about_view.h"
#include "ui/windows/welcome/welcome_controller.h"
#include "ui/windows/welcome/welcome_view.h"

namespace vorlane {
namespace {

QStringList texts(const QWidget& window) {
  QStringList all;
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->text().isEmpty()) all << label->text();
  }
  return all;
}

TEST(WelcomeAndAboutWindows, ShowTheirLinesWithTheShortcutAtAFixedSize) {
  WelcomeController welcomeController([] { return true; });
  welcomeController.show(QStringLiteral("Ctrl+Alt+Super+M"), {});
  AboutController aboutController([] { return LogDestination::journal; });
  aboutController.show(QStringLiteral("1.2.0"), QStringLiteral("Ctrl+Alt+Super+M"));
  ASSERT_NE(welcomeController.host().window(), nullptr);
  ASSERT_NE(aboutController.host().window(), nullptr);
  const QWidget& welcome = *welcomeController.host().window();
  const QWidget& about = *aboutController.host().window();
  struct Row {
    const QWidget& window;
    QString title;
    QStringList lines;
  };
  const Row rows[] = {
      {welcome,
       "Welcome to Vorlane",
       {"Vorlane is running", "Look for the climber in your system tray.",
        "On the hour, a monkey climbs down the right edge of your screen, tells you the time, "
        "and climbs away. About seven seconds.",
        "He stays up the rope when your camera or microphone is in use, or when you are "
        "presenting.",
        "Mute him from anywhere with Ctrl+Alt+Super+M."}},
      {about,
       "About Vorlane",
       {"Vorlane", "Version 1.2.0", "A desktop mascot that climbs down to tell you the time.",
        "Mute anywhere with Ctrl+Alt+Super+M",
        "Scheduling and suppression decisions are logged to the system journal under "
        "com.corvantis.vorlane"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.window.windowTitle(), row.title);
    EXPECT_EQ(row.window.size(), QSize(460, 340)) << row.title.toStdString();
    EXPECT_EQ(row.window.minimumSize(), row.window.maximumSize()) << row.title.toStdString();
    EXPECT_EQ(texts(row.window).join("\n").toStdString(), row.lines.join("\n").toStdString());
  }
  const auto* view = welcome.findChild<WelcomeView*>();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->notNowButton()->text(), "Not now");
  EXPECT_EQ(view->showMeButton()->text(), "Show me");
  EXPECT_TRUE(view->showMeButton()->isDefault());
  EXPECT_TRUE(about.findChildren<QPushButton*>().isEmpty());
}

// Each way out of the welcome window as its controller shows it: "Show me" sends the mascot
// first, then the window closes; Escape and the title bar only close it. A second showing
// while it is open starts a new welcome.
TEST(WelcomeController, ShowMeVisitsThenClosesAndEveryOtherWayOnlyCloses) {
  struct Row {
    const char* name;
    std::function<void(WelcomeView&, QWidget&)> act;
    int visits;
  };
  const Row rows[] = {
      {"Show me", [](WelcomeView& v, QWidget&) { v.showMeButton()->click(); }, 1},
      {"Not now", [](WelcomeView& v, QWidget&) { v.notNowButton()->click(); }, 0},
      {"Escape", [](WelcomeView& v, QWidget&) { QTest::keyClick(&v, Qt::Key_Escape); }, 0},
      {"title-bar close", [](WelcomeView&, QWidget& w) { w.close(); }, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WelcomeController controller;
    int visits = 0;
    controller.show(QStringLiteral("Ctrl+Alt+Super+M"), [&] { ++visits; });
    QWidget* window = controller.host().window();
    ASSERT_NE(window, nullptr);
    const QPointer<WelcomeView> first = window->findChild<WelcomeView*>();
    ASSERT_FALSE(first.isNull());
    controller.show(QStringLiteral("Ctrl+Alt+Super+M"), [&] { ++visits; });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "replaced by the second showing";
    auto* view = window->findChild<WelcomeView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(controller.isOpen());
    row.act(*view, *window);
    EXPECT_EQ(visits, row.visits);
    EXPECT_FALSE(controller.isOpen());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// Without a tray (stock GNOME) the menu is on the monkey's right click, and the welcome says
// so; the tray is asked at each showing.
TEST(WelcomeController, SaysWhereTheMenuIsWithOrWithoutATray) {
  bool tray = false;
  WelcomeController controller([&] { return tray; });
  const struct {
    bool tray;
    const char* line;
  } rows[] = {{false, "Right-click the monkey for its menu."},
              {true, "Look for the climber in your system tray."},
              {false, "Right-click the monkey for its menu."}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.tray);
    tray = row.tray;
    controller.show(QStringLiteral("Ctrl+Alt+Super+M"), {});
    ASSERT_NE(controller.host().content(), nullptr);
    const QStringList lines = texts(*controller.host().content());
    EXPECT_TRUE(lines.contains(QString::fromUtf8(row.line))) << lines.join(" | ").toStdString();
    EXPECT_EQ(lines.contains(QStringLiteral("Look for the climber in your system tray.")),
              row.tray);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// About says where this run's log really goes: the journal only when it owns stderr.
TEST(AboutController, SaysWhereThisRunsLogGoes) {
  const struct {
    LogDestination log;
    const char* line;
  } rows[] = {
      {LogDestination::journal,
       "Scheduling and suppression decisions are logged to the system journal under "
       "com.corvantis.vorlane"},
      {LogDestination::terminal,
       "Scheduling and suppression decisions are logged to the terminal Vorlane was started "
       "from"},
      {LogDestination::standardError,
       "Scheduling and suppression decisions are logged to standard error (stderr)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    AboutController controller([&] { return row.log; });
    controller.show(QStringLiteral("1.2.0"), QStringLiteral("Ctrl+Alt+Super+M"));
    ASSERT_NE(controller.host().window(), nullptr);
    const QStringList lines = texts(*controller.host().window());
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), QString::fromUtf8(row.line));
  }
}

TEST(WelcomeView, EachWayOutCallsItsCallbacksInOrder) {
  struct Row {
    const char* name;
    std::function<void(WelcomeView&)> act;
    QStringList calls;
  };
  const Row rows[] = {
      {"Show me",
       [](WelcomeView& w) { QTest::mouseClick(w.showMeButton(), Qt::LeftButton); },
       {"now", "dismiss"}},
      {"Return", [](WelcomeView& w) { QTest::keyClick(&w, Qt::Key_Return); }, {"now", "dismiss"}},
      {"Enter on the keypad",
       [](WelcomeView& w) { QTest::keyClick(&w, Qt::Key_Enter); },
       {"now", "dismiss"}},
      {"Not now",
       [](WelcomeView& w) { QTest::mouseClick(w.notNowButton(), Qt::LeftButton); },
       {"dismiss"}},
      {"Escape", [](WelcomeView& w) { QTest::keyClick(&w, Qt::Key_Escape); }, {"dismiss"}},
      {"title-bar close", [](WelcomeView& w) { w.close(); }, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QStringList calls;
    // Its keys come through the host, as in the welcome window.
    FeatureWindow host;
    host.show(QStringLiteral("Welcome"), QSize(420, FeatureWindow::contentHeight),
              {.resizable = false, .reuseVisible = false},
              [&](const FeatureWindow::CloseAction&) -> QWidget* {
                return new WelcomeView(
                    QStringLiteral("Ctrl+Alt+Super+M"), true, [&] { calls << "now"; },
                    [&] { calls << "dismiss"; });
              });
    auto& window = *static_cast<WelcomeView*>(host.content());
    row.act(window);
    EXPECT_EQ(calls, row.calls);
  }
}

}  // namespace
}  // namespace vorlane
