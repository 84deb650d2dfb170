#include "ui/kit/window_placement.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vorlane {
namespace {

TEST(WindowPlacement, AFrameGoesInsideTheFreeAreaAndShrinksOnlyWhereItDoesNotFit) {
  // 960x540 less a 24-pixel panel at the top, as at a scale of 2 on 1920x1080.
  const QRect area(0, 24, 960, 516);
  struct Row {
    const char* name;
    QRect frame;
    QRect placed;
  };
  const Row rows[] = {
      {"fits: stays", QRect(100, 60, 400, 300), QRect(100, 60, 400, 300)},
      {"fits, exactly the area", area, area},
      {"fits, off the right and bottom: moved in", QRect(700, 400, 400, 300),
       QRect(560, 240, 400, 300)},
      {"fits, above the panel: moved down", QRect(100, -100, 400, 300), QRect(100, 24, 400, 300)},
      {"taller: as tall as the area, from its top", QRect(120, -60, 720, 660),
       QRect(120, 24, 720, 516)},
      {"wider: as wide as the area, from its left", QRect(-50, 100, 1200, 300),
       QRect(0, 100, 960, 300)},
      {"both: the whole area", QRect(-110, -100, 1180, 740), area},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(frameWithin(row.frame, area), row.placed);
  }
  // An area elsewhere in the desktop (a second screen to the right).
  EXPECT_EQ(frameWithin(QRect(0, 0, 500, 400), QRect(1920, 0, 1280, 800)),
            QRect(1920, 0, 500, 400));
}

TEST(WindowPlacement, AWindowLargerThanItsScreenIsLoweredBelowItsMinimumToFitInside) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget window;
  window.setMinimumSize(area.width() + 100, area.height() + 80);
  window.resize(window.minimumSize());
  window.move(area.topLeft() - QPoint(30, 40));
  keepWithinScreen(window);
  EXPECT_EQ(QRect(window.pos(), window.size()), area);
  EXPECT_EQ(window.minimumSize(), area.size());
  EXPECT_EQ(roomOnScreen(window), area.size());

  // One that fits keeps its minimum, its size and its place.
  window.setMinimumSize(200, 100);
  window.resize(300, 200);
  window.move(area.topLeft() + QPoint(10, 20));
  keepWithinScreen(window);
  EXPECT_EQ(QRect(window.pos(), window.size()),
            QRect(area.topLeft() + QPoint(10, 20), QSize(300, 200)));
  EXPECT_EQ(window.minimumSize(), QSize(200, 100));
}

}  // namespace
}  // namespace vorlane
