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

TEST(WelcomeWindow, ShowsTheThreeLinesWithTheShortcutAndIsFixedInSize) {
  const WelcomeWindow window(QStringLiteral("Ctrl+Alt+Super+M"), {}, {});
  EXPECT_EQ(window.windowTitle(), "Welcome to Vorlane");
  EXPECT_EQ(window.size(), QSize(460, 340));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_EQ(texts(window),
            (QStringList{
                "Vorlane is running", "Look for the climber in your system tray.",
                "On the hour, a monkey climbs down the right edge of your screen, tells you the "
                "time, and climbs away. About seven seconds.",
                "He stays up the rope when your camera or microphone is in use, or when you are "
                "presenting.",
                "Mute him from anywhere with Ctrl+Alt+Super+M."}));
  EXPECT_EQ(window.notNowButton()->text(), "Not now");
  EXPECT_EQ(window.showMeButton()->text(), "Show me");
  EXPECT_TRUE(window.showMeButton()->isDefault());
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

TEST(AboutWindow, ShowsNameVersionTaglineShortcutAndWhereDecisionsAreLogged) {
  const AboutWindow window(QStringLiteral("1.2.0"), QStringLiteral("Ctrl+Alt+Super+M"));
  EXPECT_EQ(window.windowTitle(), "About Vorlane");
  EXPECT_EQ(window.size(), QSize(460, 340));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_EQ(texts(window),
            (QStringList{"Vorlane", "Version 1.2.0",
                         "A desktop mascot that vorlanes to tell you the time.",
                         "Mute anywhere with Ctrl+Alt+Super+M",
                         "Scheduling and suppression decisions are logged to the system journal "
                         "under com.corvantis.vorlane"}));
  EXPECT_TRUE(window.findChildren<QPushButton*>().isEmpty());
}

TEST(SymbolImage, EverySymbolTheWindowsUseIsDrawnInTheAskedColour) {
  for (const char* name : {"figure.climbing", "clock", "video.slash", "moon"}) {
    SCOPED_TRACE(name);
    const QPixmap pixmap = symbolImage(QString::fromLatin1(name), 24, QColor(200, 30, 40), 2.0);
    ASSERT_FALSE(pixmap.isNull());
    EXPECT_EQ(pixmap.size(), QSize(48, 48));
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor pixel = image.pixelColor(x, y);
        if (pixel.alpha() == 255) {
          ++inked;
          EXPECT_EQ(pixel.rgb(), QColor(200, 30, 40).rgb());
        }
      }
    }
    EXPECT_GT(inked, 20);
  }
  EXPECT_TRUE(symbolImage(QStringLiteral("no.such.symbol"), 24, Qt::black, 1.0).isNull());
}

}  // namespace
}  // namespace vorlane
