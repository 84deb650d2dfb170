#include "ui/windows/welcome_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "ui/windows/about_window.h"
#include "ui/windows/symbol_image.h"

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
  const WelcomeWindow welcome(QStringLiteral("Ctrl+Alt+Super+M"), {}, {});
  const AboutWindow about(QStringLiteral("1.2.0"), QStringLiteral("Ctrl+Alt+Super+M"));
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
  EXPECT_EQ(welcome.notNowButton()->text(), "Not now");
  EXPECT_EQ(welcome.showMeButton()->text(), "Show me");
  EXPECT_TRUE(welcome.showMeButton()->isDefault());
  EXPECT_TRUE(about.findChildren<QPushButton*>().isEmpty());
}

TEST(WelcomeWindow, EachWayOutCallsItsCallbacksInOrder) {
  struct Row {
    const char* name;
    std::function<void(WelcomeWindow&)> act;
    QStringList calls;
  };
  const Row rows[] = {
      {"Show me", [](WelcomeWindow& w) { QTest::mouseClick(w.showMeButton(), Qt::LeftButton); },
       {"now", "dismiss"}},
      {"Return", [](WelcomeWindow& w) { QTest::keyClick(&w, Qt::Key_Return); },
       {"now", "dismiss"}},
      {"Enter on the keypad", [](WelcomeWindow& w) { QTest::keyClick(&w, Qt::Key_Enter); },
       {"now", "dismiss"}},
      {"Not now", [](WelcomeWindow& w) { QTest::mouseClick(w.notNowButton(), Qt::LeftButton); },
       {"dismiss"}},
      {"Escape", [](WelcomeWindow& w) { QTest::keyClick(&w, Qt::Key_Escape); }, {"dismiss"}},
      {"title-bar close", [](WelcomeWindow& w) { w.close(); }, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QStringList calls;
    WelcomeWindow window(
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
