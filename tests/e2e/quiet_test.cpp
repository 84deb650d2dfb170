// Quiet: a locked screen (the screen saver says so) drops the hour; an unlock brings the next one
// back; another program's full-screen window turns the hour into a silent notification that dunst
// gets.
#include "tests/e2e/scenario.h"

namespace vorlane::e2e {
namespace {

TEST_F(Scenario, ALockDropsTheHourAFullScreenWindowTurnsItIntoANotification) {
  startDesktop();
  seedPreferences();
  launch(at("09:55:00"));
  const auto reach = [&](const char* time) {
    return testing::waitUntil([&] { return program->fakeNow() >= at(time); },
                              program->real(2 * 60 * 60));
  };

  ASSERT_TRUE(reach("09:57:00"));
  ASSERT_TRUE(desktop->screenSaver(true));
  EXPECT_TRUE(program->waitForLine("screen unavailable, dropping anything in flight", 10s));
  ASSERT_TRUE(program->waitForLine("suppressed visit scheduled for " +
                                       describeDate(Date::fromUnix(double(at("10:00:00")))) +
                                       ": screen asleep or locked",
                                   program->real(10 * 60)));
  ASSERT_TRUE(reach("10:20:00"));
  EXPECT_EQ(desktop->notificationsSent(), 0) << "the locked hour is dropped";
  ASSERT_TRUE(desktop->screenSaver(false));
  EXPECT_TRUE(program->waitForLine("screen available again, re-anchoring the scheduler", 10s));
  EXPECT_TRUE(program->waitForLine(visitLine(at("11:00:00")), program->real(50 * 60)));
  EXPECT_EQ(program->count(visitLine(at("10:00:00"))), 0u);

  ASSERT_TRUE(reach("11:10:00"));
  {
    testing::ChildProcess other({"xmessage", "-title", "FullScreenOther", "Another program"}, false,
                                desktop->environment());
    ASSERT_TRUE(
        testing::waitUntil([&] { return desktop->shell("wmctrl -l | grep -q FullScreenOther"); }));
    ASSERT_TRUE(
        desktop->shell("wmctrl -r FullScreenOther -b add,fullscreen && "
                       "wmctrl -a FullScreenOther"));
    ASSERT_TRUE(program->waitForLine("suppressed visit scheduled for " +
                                         describeDate(Date::fromUnix(double(at("12:00:00")))) +
                                         ": fullscreen app on the target display",
                                     program->real(60 * 60)));
    EXPECT_TRUE(testing::waitUntil([&] { return desktop->notificationsSent() == 1; }))
        << desktop->notificationBodies();
    EXPECT_TRUE(testing::waitUntil([&] { return desktop->notificationsReceived() == 1; }))
        << "dunst did not receive it";
    EXPECT_NE(desktop->notificationBodies().find("suppress-sound"), std::string::npos)
        << desktop->notificationBodies();
  }
  EXPECT_TRUE(program->waitForLine(visitLine(at("13:00:00")), program->real(70 * 60)));
  EXPECT_EQ(program->count(visitLine(at("12:00:00"))), 0u);
  EXPECT_EQ(desktop->notificationsSent(), 1);
}

}  // namespace
}  // namespace vorlane::e2e
