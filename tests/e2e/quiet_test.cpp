// Quiet: a screen gone away (the screen saver says so, or logind locks the session) drops the
// hour; its return brings the next one back; another program's full-screen window turns the
// hour into a silent notification that dunst gets.
#include "tests/e2e/scenario.h"

namespace vorlane::e2e {
namespace {

struct QuietScenario : Scenario {
  bool reach(const char* time) {
    return testing::waitUntil([&] { return program->fakeNow() >= at(time); },
                              program->real(2 * 60 * 60));
  }

  // From 09:57 to 10:20 the screen is away: the 10:00 visit is dropped without a
  // notification, and 11:00 comes as usual.
  void awayOverTenDropsTheHour(const std::function<bool(bool)>& away) {
    ASSERT_TRUE(reach("09:57:00"));
    ASSERT_TRUE(away(true));
    EXPECT_TRUE(program->waitForLine("screen unavailable, dropping anything in flight", 30s));
    ASSERT_TRUE(program->waitForLine("suppressed visit scheduled for " +
                                         describeDate(Date::fromUnix(double(at("10:00:00")))) +
                                         ": screen asleep or locked",
                                     program->real(10 * 60) + 30s));
    ASSERT_TRUE(reach("10:20:00"));
    EXPECT_EQ(desktop->notificationsSent(), 0) << "the hour while away is dropped";
    ASSERT_TRUE(away(false));
    EXPECT_TRUE(program->waitForLine("screen available again, re-anchoring the scheduler", 30s));
    EXPECT_TRUE(program->waitForLine(visitLine(at("11:00:00")), program->real(50 * 60) + 30s));
    EXPECT_EQ(program->count(visitLine(at("10:00:00"))), 0u);
  }
};

TEST_F(QuietScenario, TheScreenSaverDropsTheHourAFullScreenWindowTurnsItIntoANotification) {
  startDesktop();
  seedPreferences();
  launch(at("09:45:00"));  // the start is over before the screen goes away at 09:57
  awayOverTenDropsTheHour([&](bool on) { return desktop->screenSaver(on); });
  if (HasFatalFailure()) return;

  ASSERT_TRUE(reach("11:10:00"));
  {
    testing::ChildProcess other({"xmessage", "-title", "FullScreenOther", "Another program"}, false,
                                desktop->environment());
    ASSERT_TRUE(desktop->waitUntilManaged(
        [&] { return desktop->shell("wmctrl -l | grep -q FullScreenOther"); }, 60s));
    ASSERT_TRUE(
        desktop->shell("wmctrl -r FullScreenOther -b add,fullscreen && "
                       "wmctrl -a FullScreenOther"));
    ASSERT_TRUE(program->waitForLine("suppressed visit scheduled for " +
                                         describeDate(Date::fromUnix(double(at("12:00:00")))) +
                                         ": fullscreen app on the target display",
                                     program->real(60 * 60) + 30s));
    EXPECT_TRUE(testing::waitUntil([&] { return desktop->notificationsSent() == 1; }, 30s))
        << desktop->notificationBodies();
    EXPECT_TRUE(testing::waitUntil([&] { return desktop->notificationsReceived() == 1; }, 30s))
        << "dunst did not receive it";
    EXPECT_NE(desktop->notificationBodies().find("suppress-sound"), std::string::npos)
        << desktop->notificationBodies();
  }
  EXPECT_TRUE(program->waitForLine(visitLine(at("13:00:00")), program->real(70 * 60) + 30s));
  EXPECT_EQ(program->count(visitLine(at("12:00:00"))), 0u);
  EXPECT_EQ(desktop->notificationsSent(), 1);
}

// logind's Lock and LockedHint on the program's own session, which it looks up at the start
// without waiting: found under the sped-up clock too. Locked once the program follows the
// session, so that the lock is its signal and not the state read at the start.
TEST_F(QuietScenario, ALockedSessionDropsTheHourAndTheUnlockBringsTheNext) {
  startDesktop();
  seedPreferences();
  launch(at("09:45:00"));  // the look-up has two faked minutes a real second
  ASSERT_TRUE(program->waitForLine("following login session", startLimit));
  awayOverTenDropsTheHour([&](bool on) { return desktop->lock(on); });
  EXPECT_EQ(program->count("login session not available"), 0u);
  EXPECT_EQ(program->count("performing visit"), 1u);
  EXPECT_EQ(desktop->notificationsReceived(), 0);
}

}  // namespace
}  // namespace vorlane::e2e
