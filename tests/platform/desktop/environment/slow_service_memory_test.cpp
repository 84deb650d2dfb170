#include "platform/desktop/environment/slow_service_memory.h"

#include <gtest/gtest.h>

#include "platform/desktop/environment/snapshot_budget.h"

using namespace std::chrono_literals;

namespace vorlane {
namespace {

TEST(SlowServiceMemory, ATimedOutServiceIsLeftAloneForAPauseThatDoublesUpToACeiling) {
  SlowServiceMemory memory(30s, 100s);
  const SlowServiceMemory::Clock::time_point t0{};
  EXPECT_TRUE(memory.mayAsk("a", t0));
  // Moment of a timeout, pause it earns.
  const std::pair<std::chrono::seconds, std::chrono::seconds> rows[] = {
      {0s, 30s}, {30s, 60s}, {90s, 100s}, {190s, 100s}};
  for (const auto& [at, pause] : rows) {
    memory.timedOut("a", t0 + at);
    EXPECT_FALSE(memory.mayAsk("a", t0 + at + pause - 1ms)) << at.count();
    EXPECT_TRUE(memory.mayAsk("a", t0 + at + pause)) << at.count();
  }
  EXPECT_TRUE(memory.mayAsk("b", t0 + 190s)) << "services are remembered apart";
  memory.answered("a");
  memory.timedOut("a", t0);
  EXPECT_TRUE(memory.mayAsk("a", t0 + 30s)) << "an answer starts the pauses over";
}

TEST(SnapshotBudget, IsSharedUntilSpentAndWholeAgainForTheNextSnapshot) {
  SnapshotBudget::Clock::time_point now{};
  SnapshotBudget budget(250ms, [&] { return now; });
  EXPECT_EQ(budget.left(), 250ms) << "a source asked alone has the whole budget";
  budget.start();
  now += 100ms;
  EXPECT_EQ(budget.left(), 150ms);
  now += 400ms;
  EXPECT_EQ(budget.left(), 0ms);
  budget.start();
  EXPECT_EQ(budget.left(), 250ms);
}

}  // namespace
}  // namespace vorlane
