#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "ui/windows/about_controller.h"
#include "ui/windows/about_view.h"
#include "ui/windows/onboarding_view.h"
#include "ui/kit/symbol_image.h"
#include "ui/windows/welcome_controller.h"

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
  WelcomeController welcomeController;
  welcomeController.show(QStringLiteral("Ctrl+Alt+Super+M"), {});
  AboutController aboutController;
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
      {welcome, "Welcome to Vorlane",
       {"Vorlane is running", "Look for the climber in your system tray.",
        "On the hour, a monkey climbs down the right edge of your screen, tells you the time, "
        "and climbs away. About seven seconds.",
        "He stays up the rope when your camera or microphone is in use, or when you are "
        "presenting.",
        "Mute him from anywhere with Ctrl+Alt+Super+M."}},
      {about, "About Vorlane",
       {"Vorlane", "Version 1.2.0", "A desktop mascot that vorlanes to tell you the time.",
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
  const auto* view = welcome.findChild<OnboardingView*>();
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
    std::function<void(OnboardingView&, QWidget&)> act;
    int visits;
  };
  const Row rows[] = {
      {"Show me", [](OnboardingView& v, QWidget&) { v.showMeButton()->click(); }, 1},
      {"Not now", [](OnboardingView& v, QWidget&) { v.notNowButton()->click(); }, 0},
      {"Escape", [](OnboardingView& v, QWidget&) { QTest::keyClick(&v, Qt::Key_Escape); }, 0},
      {"title-bar close", [](OnboardingView&, QWidget& w) { w.close(); }, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WelcomeController controller;
    int visits = 0;
    controller.show(QStringLiteral("Ctrl+Alt+Super+M"), [&] { ++visits; });
    QWidget* window = controller.host().window();
    ASSERT_NE(window, nullptr);
    const QPointer<OnboardingView> first = window->findChild<OnboardingView*>();
    ASSERT_FALSE(first.isNull());
    controller.show(QStringLiteral("Ctrl+Alt+Super+M"), [&] { ++visits; });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "replaced by the second showing";
    auto* view = window->findChild<OnboardingView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(controller.isOpen());
    row.act(*view, *window);
    EXPECT_EQ(visits, row.visits);
    EXPECT_FALSE(controller.isOpen());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST(OnboardingView, EachWayOutCallsItsCallbacksInOrder) {
  struct Row {
    const char* name;
    std::function<void(OnboardingView&)> act;
    QStringList calls;
  };
  const Row rows[] = {
      {"Show me", [](OnboardingView& w) { QTest::mouseClick(w.showMeButton(), Qt::LeftButton); },
       {"now", "dismiss"}},
      {"Return", [](OnboardingView& w) { QTest::keyClick(&w, Qt::Key_Return); },
       {"now", "dismiss"}},
      {"Enter on the keypad", [](OnboardingView& w) { QTest::keyClick(&w, Qt::Key_Enter); },
       {"now", "dismiss"}},
      {"Not now", [](OnboardingView& w) { QTest::mouseClick(w.notNowButton(), Qt::LeftButton); },
       {"dismiss"}},
      {"Escape", [](OnboardingView& w) { QTest::keyClick(&w, Qt::Key_Escape); }, {"dismiss"}},
      {"title-bar close", [](OnboardingView& w) { w.close(); }, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QStringList calls;
    OnboardingView window(
        QStringLiteral("Ctrl+Alt+Super+M"), [&] { calls << "now"; }, [&] { calls << "dismiss"; });
    window.show();
    row.act(window);
    EXPECT_EQ(calls, row.calls);
  }
}

TEST(SymbolImage, EverySymbolTheWindowsUseIsDrawnInTheAskedColour) {
  const QColor red(200, 30, 40);
  for (const char* name : {"figure.climbing", "clock", "video.slash", "moon", "bolt.circle"}) {
    SCOPED_TRACE(name);
    const QImage image = symbolImage(QString::fromLatin1(name), 24, red, 2.0).toImage();
    ASSERT_EQ(image.size(), QSize(48, 48));
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor pixel = image.pixelColor(x, y);
        if (pixel.alpha() < 255) continue;
        ++inked;
        EXPECT_EQ(pixel.rgb(), red.rgb());
      }
    }
    EXPECT_GT(inked, 20);
  }
  EXPECT_TRUE(symbolImage(QStringLiteral("no.such.symbol"), 24, Qt::black, 1.0).isNull());
}

}  // namespace
}  // namespace vorlane
