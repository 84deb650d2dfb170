// A focus session typed into the quick command window: it starts, the mascot holds up its
// sign with the countdown, it finishes with its panel and the panel's two reminders, and it
// lands in the focus history with its goal and length.
#include <nlohmann/json.hpp>

#include "tests/e2e/scenario.h"
#include "tests/e2e/sign_rows.h"

namespace vorlane::e2e {
namespace {

// The right edge of a 1280x800 screen, where the character hangs.
const QRect column(940, 0, 340, 800);
// Slow enough that the panel's reminders, 30 and 90 s after the end, are noticed in time.
constexpr int focusSpeed = 6;

TEST_F(Scenario, AFocusTypedInTheQuickWindowIsShownFinishedRemindedAndRecorded) {
  startDesktop();
  seedPreferences();
  const QImage empty = screenshot("focus-empty");
  ASSERT_FALSE(empty.isNull());
  launch(at("09:10:00"), focusSpeed);

  ASSERT_TRUE(typeCommand("focus 1m write the report")) << "the window never had the keys";
  ASSERT_TRUE(program->waitForLine("started a 1 minute session", 60s));
  const std::time_t started = program->fakeNow();

  // Past the start visit, the sign with the countdown is up beside the character.
  testing::waitUntil([&] { return program->fakeNow() >= started + 20; }, 60s);
  QImage shot;
  EXPECT_TRUE(testing::waitUntil(
      [&] {
        shot = screenshot("focus-sign");
        return signRows(empty, shot, column) >= 10;
      },
      program->real(30) + 30s))
      << "no sign in the column";
  EXPECT_EQ(signRows(empty, shot, QRect(0, 40, 900, 760)), 0) << "drawn beside it";

  ASSERT_TRUE(program->waitForLine("session complete, 1 done today", program->real(90) + 30s));
  EXPECT_TRUE(program->waitForLine("completion reminder shown", program->real(120) + 30s, 2))
      << "the panel was not shown again at 30 s and 90 s";
  EXPECT_EQ(program->count("completion reminder"), 2u);
  EXPECT_EQ(program->count("performing visit scheduled for"), 2u) << "the start and the end";

  const auto stored = testing::readFile(program->configFile("focusHistory"));
  ASSERT_TRUE(stored.has_value()) << "no focus history";
  const auto history = nlohmann::json::parse(*stored);
  ASSERT_EQ(history.size(), 1u) << *stored;
  EXPECT_EQ(history[0]["focus"], "write the report");
  EXPECT_EQ(history[0]["duration"], 60.0);
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
