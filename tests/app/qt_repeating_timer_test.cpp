#include "app/qt_repeating_timer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace vorlane {
namespace {

TEST(QtRepeatingTimer, TightToleranceIsPreciseLooseToleranceIsCoarse) {
  struct Row {
    double interval;
    double tolerance;
    Qt::TimerType type;
    int milliseconds;
  };
  const Row rows[] = {
      {1.0, 0.02, Qt::PreciseTimer, 1000},
      {30.0, 5.0, Qt::CoarseTimer, 30000},
      {0.5, 0.0, Qt::PreciseTimer, 500},
  };
  for (const Row& row : rows) {
    QtRepeatingTimer timer;
    timer.start(row.interval, row.tolerance, [] {});
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.timer().timerType(), row.type);
    EXPECT_EQ(timer.timer().interval(), row.milliseconds);
    timer.stop();
    EXPECT_FALSE(timer.isActive());
  }
}

TEST(QtRepeatingTimer, FiresAgainAndARestartReplacesTheAction) {
  QtRepeatingTimer timer;
  int first = 0;
  int second = 0;
  timer.start(0.01, 0, [&] { ++first; });
  QElapsedTimer elapsed;
  elapsed.start();
  while (first < 3 && elapsed.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_GE(first, 3);
  timer.start(0.01, 0, [&] { ++second; });
  const int firstAtRestart = first;
  elapsed.restart();
  while (second < 2 && elapsed.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_GE(second, 2);
  EXPECT_EQ(first, firstAtRestart);
  timer.stop();
  const int atStop = second;
  elapsed.restart();
  while (elapsed.elapsed() < 50) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_EQ(second, atStop);
}

}  // namespace
}  // namespace vorlane
