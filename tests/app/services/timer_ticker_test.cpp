#include "app/services/timer_ticker.h"

#include <memory>

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

#include "app/services/main_thread.h"

namespace vorlane {
namespace {

constexpr double interval = 0.02;  // 20 ms
constexpr int intervalMs = 20;

TEST(TimerTicker, TicksEveryIntervalOnTheMainThreadWithNoImmediateTick) {
  TimerTicker ticker(interval);
  int ticks = 0;
  bool offMainThread = false;
  ticker.onTick = [&] {
    ++ticks;
    offMainThread |= !isMainThread();
  };
  ticker.start();
  QCoreApplication::processEvents();
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));
  EXPECT_FALSE(offMainThread);
}

TEST(TimerTicker, StartWhileRunningRestartsThePhase) {
  // Restarted every 20 ms, a 200 ms ticker never comes due; a second timer left behind would.
  TimerTicker ticker(0.2);
  int ticks = 0;
  ticker.onTick = [&] { ++ticks; };
  ticker.start();
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 600) {
    QTest::qWait(intervalMs);
    ticker.start();
  }
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(ticker.isRunning());
}

TEST(TimerTicker, StopSilencesItAndStartResumes) {
  TimerTicker ticker(interval);
  int ticks = 0;
  ticker.onTick = [&] { ++ticks; };
  ticker.stop();  // never started: nothing happens
  EXPECT_FALSE(ticker.isRunning());

  ticker.start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 1; }, 5000));
  ticker.stop();
  const int atStop = ticks;
  QTest::qWait(5 * intervalMs);
  EXPECT_EQ(ticks, atStop);

  ticker.start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > atStop; }, 5000));
}

TEST(TimerTicker, FiresWithoutCallbackAreIgnoredUntilOneIsSet) {
  TimerTicker ticker(interval);
  ticker.start();
  QTest::qWait(3 * intervalMs);
  int ticks = 0;
  ticker.onTick = [&] { ++ticks; };
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 1; }, 5000));
  ticker.onTick = nullptr;
  const int atClear = ticks;
  QTest::qWait(3 * intervalMs);
  EXPECT_EQ(ticks, atClear);
}

// No fire may reach a ticker that is gone, even one released inside its own tick.
TEST(TimerTicker, CallbackMayReplaceItselfOrDestroyTheTicker) {
  auto ticker = std::make_unique<TimerTicker>(interval);
  auto counts = std::make_shared<std::pair<int, int>>(0, 0);
  ticker->onTick = [&ticker, counts] {
    ++counts->first;
    ticker->onTick = [&ticker, counts] {
      ++counts->second;
      ticker.reset();  // the ticker goes away inside its own fire
    };
  };
  ticker->start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticker == nullptr; }, 5000));
  QTest::qWait(3 * intervalMs);
  EXPECT_EQ(counts->first, 1);
  EXPECT_EQ(counts->second, 1);
}

}  // namespace
}  // namespace vorlane
