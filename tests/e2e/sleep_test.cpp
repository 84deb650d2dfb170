// Sleep across the hour: logind's PrepareForSleep around a stopped program; the missed hour
// is not replayed when it wakes, and the next hour comes as usual. And a focus typed into the
// quick command window that ends while the machine sleeps: it is closed silently at the wake.
#include <filesystem>
#include <thread>

#include "tests/e2e/scenario.h"

namespace vorlane::e2e {
namespace {

TEST_F(Scenario, SleepAcrossTheHourReplaysNothing) {
  startDesktop();
  seedPreferences();
  launch(at("10:50:00"));
  ASSERT_TRUE(testing::waitUntil([&] { return program->fakeNow() >= at("10:55:00"); },
                                 program->real(20 * 60)));
  ASSERT_TRUE(desktop->sleep(true));
  // Heard before the stop, as a program with a sleep inhibitor hears it before the suspend.
  ASSERT_TRUE(program->waitForLine("the machine is going to sleep", 30s));
  // A stopped process stands for a suspended machine: its clock jumps on when it goes on.
  ASSERT_EQ(::kill(program->pid(), SIGSTOP), 0);
  testing::waitUntil([&] { return program->fakeNow() >= at("11:08:00"); }, program->real(20 * 60));
  ASSERT_TRUE(desktop->sleep(false));
  ASSERT_EQ(::kill(program->pid(), SIGCONT), 0);

  EXPECT_TRUE(program->waitForLine("woke from sleep, re-anchoring the scheduler", 30s));
  ASSERT_TRUE(program->waitForLine(visitLine(at("12:00:00")), program->real(60 * 60) + 30s));
  EXPECT_EQ(program->count(visitLine(at("11:00:00"))), 0u) << "the missed hour came back";
  EXPECT_EQ(program->count("performing visit"), 1u);
  // Spoken as the visit begins, a moment after its line.
  EXPECT_TRUE(program->waitForLine("speaking:", 30s));
  EXPECT_EQ(program->count("speaking:"), 1u);
}

TEST_F(Scenario, AFocusThatEndsInTheSleepIsClosedSilentlyAtTheWake) {
  startDesktop();
  seedPreferences();
  // A faked focus of 8 minutes lasts 16 real seconds: time enough to put it to sleep.
  constexpr int sleepSpeed = 30;
  launch(at("14:10:00"), sleepSpeed);
  ASSERT_TRUE(typeCommand("focus 8m finish the slides")) << "the window never had the keys";
  ASSERT_TRUE(program->waitForLine("started a 8 minute session", 60s));
  const std::time_t started = program->fakeNow();

  ASSERT_TRUE(desktop->sleep(true));
  // Heard before the stop, as a program with a sleep inhibitor hears it before the suspend.
  ASSERT_TRUE(program->waitForLine("the machine is going to sleep", 30s));
  ASSERT_EQ(::kill(program->pid(), SIGSTOP), 0);
  // Asleep until well past the end: more than 90 s late, the period is not finished.
  testing::waitUntil([&] { return program->fakeNow() >= started + 8 * 60 + 150; },
                     program->real(12 * 60));
  ASSERT_TRUE(desktop->sleep(false));
  ASSERT_EQ(::kill(program->pid(), SIGCONT), 0);

  EXPECT_TRUE(program->waitForLine("woke from sleep, re-anchoring the scheduler", 30s));
  EXPECT_TRUE(program->waitForLine("session ended while asleep, cancelling silently", 30s));
  const std::time_t woke = program->fakeNow();
  testing::waitUntil([&] { return program->fakeNow() >= woke + 120; }, program->real(3 * 60));
  EXPECT_EQ(program->count("session complete"), 0u) << "celebrated after the wake";
  EXPECT_EQ(program->count("completion reminder"), 0u);
  EXPECT_EQ(program->count("performing visit scheduled for"), 1u) << "only the start's visit";
  EXPECT_EQ(desktop->notificationsSent(), 0);
  EXPECT_FALSE(std::filesystem::exists(program->configFile("focusHistory")))
      << "the unfinished focus went into the history";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
