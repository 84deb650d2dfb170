#include "app/qt_repeating_timer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace vorlane {
namespace {

// Runs the event loop until `done` or the time is up.
void pump(const std::function<bool()>& done, int milliseconds = 2000) {
  QElapsedTimer elapsed;
  elapsed.start();
  while (!done() && elapsed.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
}

// A loose tolerance lets the system batch the heartbeat's wake-ups; a tight one does not.
TEST(QtRepeatingTimer, FiresAgainARestartReplacesTheActionAndToleranceSetsThePrecision) {
  QtRepeatingTimer timer;
  int first = 0;
  int second = 0;
  timer.start(0.01, 0, [&] { ++first; });
  EXPECT_EQ(timer.timer().timerType(), Qt::PreciseTimer);
  pump([&] { return first >= 3; });
  EXPECT_GE(first, 3);
  timer.start(0.01, 0, [&] { ++second; });
  const int firstAtRestart = first;
  pump([&] { return second >= 2; });
  EXPECT_GE(second, 2);
  EXPECT_EQ(first, firstAtRestart);
  timer.stop();
  EXPECT_FALSE(timer.isActive());
  const int atStop = second;
  pump([] { return false; }, 50);
  EXPECT_EQ(second, atStop);

  timer.start(30.0, 5.0, [] {});
  EXPECT_EQ(timer.timer().timerType(), Qt::CoarseTimer);
  EXPECT_EQ(timer.timer().interval(), 30000);
}

}  // namespace
}  // namespace vorlane
