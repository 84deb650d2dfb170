#include "ui/kit/window_cache_release.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "tests/support/event_loop_marker.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;

bool cached(const QString& key) {
  QPixmap found;
  return QPixmapCache::find(key, &found);
}

void lastClosedWindowEmptiesThePixmapCache();

QImage drawnText(const QFont& font) {
  QImage image(120, 30, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Quarter past ten"));
  return image;
}

// Qt tells of the last window closing only inside its event loop, as in the program.
void insideTheEventLoop(const std::function<void()>& steps) {
  const bool quits = QApplication::quitOnLastWindowClosed();
  QApplication::setQuitOnLastWindowClosed(false);
  QTimer::singleShot(0, [&steps] {
    steps();
    QCoreApplication::exit(0);
  });
  QCoreApplication::exec();
  QApplication::setQuitOnLastWindowClosed(quits);
}

TEST(WindowCacheRelease, TheLastClosedWindowEmptiesThePixmapCacheNotAnEarlierOne) {
  insideTheEventLoop([] { lastClosedWindowEmptiesThePixmapCache(); });
}

void lastClosedWindowEmptiesThePixmapCache() {
  auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
  ASSERT_NE(application, nullptr);
  auto release = std::make_unique<WindowCacheRelease>(*application, 0ms);
  QPixmap drawn(8, 8);
  drawn.fill(Qt::red);

  QWidget mascot(nullptr, Qt::Tool | Qt::FramelessWindowHint);
  mascot.show();
  QWidget editor, preferences;
  editor.show();
  preferences.show();
  QPixmapCache::insert(QStringLiteral("icon"), drawn);

  editor.close();
  testing::runEventLoopPast(0ms);  // past a release set going by the close
  EXPECT_TRUE(cached(QStringLiteral("icon"))) << "another window still shows";
  EXPECT_EQ(release->releases(), 0);

  const QImage textBefore = drawnText(editor.font());
  preferences.close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return release->releases() == 1; }, 2000))
      << "the mascot alone is not a window the user closes";
  EXPECT_FALSE(cached(QStringLiteral("icon")));
  EXPECT_EQ(drawnText(editor.font()), textBefore) << "fonts draw alike after their engines went";

  release.reset();

  // A window that opens before the delay runs out keeps the cache.
  WindowCacheRelease later(*application, 200ms);
  QPixmapCache::insert(QStringLiteral("icon"), drawn);
  editor.show();
  editor.close();
  preferences.show();
  testing::runEventLoopPast(2 * 200ms);  // past the delay
  EXPECT_TRUE(cached(QStringLiteral("icon")));
  EXPECT_EQ(later.releases(), 0);
  preferences.close();
}

}  // namespace
}  // namespace vorlane
