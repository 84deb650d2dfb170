// Sleep across the hour: logind's PrepareForSleep around a stopped program; the missed hour
// is not replayed when it wakes, and the next hour comes as usual.
#include "tests/e2e/scenario.h"

namespace vorlane::e2e {
namespace {

TEST_F(Scenario, SleepAcrossTheHourReplaysNothing) {
  startDesktop();
  seedPreferences();
  launch(at("10:50:00"));
  ASSERT_TRUE(testing::waitUntil([&] { return program->fakeNow() >= at("10:57:00"); },
                                 program->real(20 * 60)));
  ASSERT_TRUE(desktop->sleep(true));
  // A stopped process stands for a suspended machine: its clock jumps on when it goes on.
  ASSERT_EQ(::kill(program->pid(), SIGSTOP), 0);
  testing::waitUntil([&] { return program->fakeNow() >= at("11:08:00"); }, program->real(20 * 60));
  ASSERT_TRUE(desktop->sleep(false));
  ASSERT_EQ(::kill(program->pid(), SIGCONT), 0);

  EXPECT_TRUE(program->waitForLine("woke from sleep, re-anchoring the scheduler", 10s));
  ASSERT_TRUE(program->waitForLine(visitLine(at("12:00:00")), program->real(60 * 60)));
  EXPECT_EQ(program->count(visitLine(at("11:00:00"))), 0u) << "the missed hour came back";
  EXPECT_EQ(program->count("performing visit"), 1u);
  EXPECT_EQ(program->count("speaking:"), 1u);
}

}  // namespace
}  // namespace vorlane::e2e
