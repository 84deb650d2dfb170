#include "platform/services/timer_ticker.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include "platform/logging/main_thread.h"
#include "platform/services/tick_alignment.h"
#include "tests/support/event_loop_marker.h"
#include "tests/support/fake_clock.h"

namespace vorlane {
namespace {

using std::chrono::milliseconds;

// 2026-03-07 09:58:13 UTC, 13 s past a half minute.
const Date offTheHalfMinute = Date::fromUnix(1772877493);

TEST(TickAlignment, WaitsForTheNextWholeInterval) {
  const Date halfMinute = Date::fromUnix(1772877480);  // 09:58:00
  const struct {
    const char* name;
    Date now;
    double interval;
    double delay;
  } rows[] = {
      {"on a half minute: a whole interval", halfMinute, 30, 30},
      {"13 s past", offTheHalfMinute, 30, 17},
      {"a quarter second past", halfMinute + 0.25, 30, 29.75},
      {"a quarter second before", halfMinute - 0.25, 30, 0.25},
      {"29 s past", halfMinute + 29, 30, 1},
      {"before the epoch", Date::fromUnix(-13), 30, 13},
      {"a fifth of a second", halfMinute + 0.05, 0.2, 0.15},
      {"no interval", offTheHalfMinute, 0, 0},
      {"a negative interval", offTheHalfMinute, -30, 0},
      {"an infinite interval", offTheHalfMinute, INFINITY, 0},
      {"a time that is not finite", Date(NAN), 30, 30},
  };
  for (const auto& row : rows) {
    EXPECT_NEAR(delayToNextTick(row.now, row.interval), row.delay, 1e-6) << row.name;
  }
}

TEST(TimerTicker, TheFirstFireLandsOnTheNextHalfMinute) {
  auto clock = std::make_shared<FakeClock>(offTheHalfMinute + 0.25);
  TimerTicker ticker(30, clock);
  ticker.start();
  EXPECT_TRUE(ticker.isRunning());
  EXPECT_EQ(ticker.armedDelay(), milliseconds(16750));
  clock->advance(16);  // started again later, it still aims at the same half minute
  ticker.start();
  EXPECT_EQ(ticker.armedDelay(), milliseconds(750));
}

// A clock change (or a wake, after which the timer fires late) moves the wall clock away
// from the beat; the next fire finds it off and aims at the next whole interval again.
TEST(TimerTicker, AFireAfterAWallClockJumpRealignsTheNextOne) {
  const Date beat = Date::fromUnix(1772877480);
  auto clock = std::make_shared<FakeClock>(beat + 0.15);
  TimerTicker ticker(0.2, clock);
  int ticks = 0;
  ticker.onTick = [&] { ++ticks; };
  ticker.start();
  EXPECT_EQ(ticker.armedDelay(), milliseconds(50));
  clock->set(beat + 3600 + 7.07);  // an hour and a bit on, 70 ms past a beat
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 1; }, 5000));
  EXPECT_EQ(ticker.armedDelay(), milliseconds(130));
  clock->set(beat - 600 + 0.19);  // set back ten minutes, 10 ms before a beat
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
  EXPECT_EQ(ticker.armedDelay(), milliseconds(10));
}

// A fire that comes before its beat on the wall clock (the timer's milliseconds against the
// clock's) waits for that beat and ticks once there, not once early and again on the beat.
TEST(TimerTicker, AnEarlyFireWaitsForItsBeatWithoutTicking) {
  const Date beat = Date::fromUnix(1772877480);
  auto clock = std::make_shared<FakeClock>(beat - 0.15);
  TimerTicker ticker(0.2, clock);
  int ticks = 0;
  ticker.onTick = [&] { ++ticks; };
  ticker.start();
  EXPECT_EQ(ticker.armedDelay(), milliseconds(150));
  clock->set(beat - 0.0004);  // the fire will find the beat 0.4 ms ahead
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticker.armedDelay() == milliseconds(1); }, 5000));
  EXPECT_EQ(ticks, 0);
  clock->set(beat + 0.0002);
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 1; }, 5000));
  EXPECT_EQ(ticker.armedDelay(), milliseconds(200));
  EXPECT_EQ(ticks, 1);
}

// Delays are rounded up to the millisecond: a beat 0.4 ms or 10.4 ms ahead is never aimed
// at a fraction too soon.
TEST(TimerTicker, TheDelayToABeatIsRoundedUp) {
  const Date beat = Date::fromUnix(1772877480);
  const struct {
    const char* name;
    double ahead;
    milliseconds delay;
  } rows[] = {
      {"0.4 ms", 0.0004, milliseconds(1)},
      {"10.4 ms", 0.0104, milliseconds(11)},
      {"10.6 ms", 0.0106, milliseconds(11)},
      {"exactly 50 ms", 0.05, milliseconds(50)},
  };
  for (const auto& row : rows) {
    TimerTicker ticker(0.2, std::make_shared<FakeClock>(beat - row.ahead));
    ticker.start();
    EXPECT_EQ(ticker.armedDelay(), row.delay) << row.name;
  }
}

TEST(TimerTicker, TicksOnTheMainThreadWithNoImmediateTickAndAStartWhileRunningRestartsThePhase) {
  // Restarted every 20 ms, a 200 ms ticker never comes due; a second timer left behind would.
  // The clock stands still 10 ms past a beat, so every start aims 190 ms ahead, until the
  // test moves it on to the beats.
  auto wall = std::make_shared<FakeClock>(Date::fromUnix(1772877480.01));
  TimerTicker ticker(0.2, wall);
  int ticks = 0;
  bool offMainThread = false;
  ticker.onTick = [&] {
    ++ticks;
    offMainThread |= !isMainThread();
  };
  // Three times the aim, precise: a timer left behind by the first start falls due before it.
  QTimer threeAims;
  threeAims.setSingleShot(true);
  threeAims.setTimerType(Qt::PreciseTimer);
  // The restarts ride a timer of their own: falling due long before the ticker's aim, each
  // runs first however late the loop turns.
  QTimer restart;
  restart.setTimerType(Qt::PreciseTimer);
  QObject::connect(&restart, &QTimer::timeout, [&ticker] { ticker.start(); });
  ticker.start();
  threeAims.start(3 * 190);
  restart.start(20);
  while (threeAims.isActive()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  restart.stop();
  EXPECT_EQ(ticks, 0);
  wall->advance(0.19);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 1; }, 5000));
  wall->advance(0.2);
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
  testing::runEventLoopPast(milliseconds(5 * 20));  // past the next tick, had it stayed armed
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
  testing::runEventLoopPast(milliseconds(3 * 20));  // past the next tick, had one been left armed
  EXPECT_EQ(counts->first, 1);
  EXPECT_EQ(counts->second, 1);
}

}  // namespace
}  // namespace vorlane
