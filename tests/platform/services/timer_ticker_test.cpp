#include "platform/services/timer_ticker.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "platform/services/main_thread.h"

namespace vorlane {
namespace {

TEST(TimerTicker, TicksOnTheMainThreadWithNoImmediateTickAndAStartWhileRunningRestartsThePhase) {
  // Restarted every 20 ms, a 200 ms ticker never comes due; a second timer left behind would.
  TimerTicker ticker(0.2);
  int ticks = 0;
  bool offMainThread = false;
  ticker.onTick = [&] {
    ++ticks;
    offMainThread |= !isMainThread();
  };
  QElapsedTimer clock;
  clock.start();
  ticker.start();
  while (clock.elapsed() < 600) {
    QTest::qWait(20);
    ticker.start();
  }
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
  EXPECT_FALSE(offMainThread);
}

TEST(TimerTicker, StoppedItStaysQuietAndStartedAgainItTicksAgain) {
  TimerTicker ticker(0.02);
  int ticks = 0;
  ticker.onTick = [&] { ++ticks; };
  ticker.start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 1; }, 5000));
  ticker.stop();
  EXPECT_FALSE(ticker.isRunning());
  const int stoppedAt = ticks;
  QTest::qWait(100);
  EXPECT_EQ(ticks, stoppedAt);
  ticker.stop();  // stopping twice is harmless
  ticker.start();
  EXPECT_TRUE(ticker.isRunning());
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= stoppedAt + 2; }, 5000));
}

// No fire may reach a ticker that is gone, even one released inside its own tick.
TEST(TimerTicker, CallbackMayReplaceItselfOrDestroyTheTicker) {
  auto ticker = std::make_unique<TimerTicker>(0.02);
  auto counts = std::make_shared<std::pair<int, int>>(0, 0);
  ticker->onTick = [&ticker, counts] {
    ++counts->first;
    ticker->onTick = [&ticker, counts] {
      ++counts->second;
      ticker.reset();
    };
  };
  ticker->start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticker == nullptr; }, 5000));
  QTest::qWait(60);
  EXPECT_EQ(counts->first, 1);
  EXPECT_EQ(counts->second, 1);
}

}  // namespace
}  // namespace vorlane
