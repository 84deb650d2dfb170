// A day from 08:45 to 21:05 on the day the clocks go forward: one visit at each hour from
// nine to nine, seen in the column and spoken, and nothing either side. (sound_test hears
// the voice at the null sink: the sped-up clock hurries the audio stream as well.)
#include "tests/e2e/scenario.h"

namespace vorlane::e2e {
namespace {

// The right edge of a 1280x800 screen, where the character hangs.
const QRect column(940, 0, 340, 800);

TEST_F(Scenario, ADayBringsOneVisitEachActiveHourSeenAndHeard) {
  startDesktop();
  seedPreferences();
  const QImage empty = screenshot("day-empty");
  ASSERT_FALSE(empty.isNull());
  // Two and a half real seconds before nine: the start, slow on a loaded machine, is over
  // before the hour, whose tick has only a quarter of a real second to come.
  launch(at("08:45:00"));

  // A faked visit lasts a few real milliseconds: each screenshot shows the character in its
  // column, and nothing of it beside the column.
  for (int hour = 9; hour <= 21; ++hour) {
    SCOPED_TRACE(hour);
    const std::string line = visitLine(at(std::to_string(hour) + ":00:00"));
    ASSERT_TRUE(program->waitForLine(line, program->real(75 * 60) + 30s)) << "no visit at " << hour;
    // The first may come before the window is first drawn on a loaded machine.
    QImage shot;
    EXPECT_TRUE(testing::waitUntil(
        [&] {
          shot = screenshot("day-visit-" + std::to_string(hour));
          return changedPixels(empty, shot, column) > 400;
        },
        30s))
        << "no character in the column";
    EXPECT_EQ(changedPixels(empty, shot, QRect(0, 40, 940, 760)), 0) << "drawn beside it";
  }
  // Until 21:05; then nothing more came, and each hour came once.
  testing::waitUntil([&] { return program->fakeNow() >= at("21:05:00"); }, program->real(60 * 60));
  EXPECT_EQ(program->count("performing visit scheduled for"), 13u) << program->log();
  for (int hour = 9; hour <= 21; ++hour) {
    EXPECT_EQ(program->count(visitLine(at(std::to_string(hour) + ":00:00"))), 1u) << hour;
  }
  EXPECT_EQ(program->count("speaking: It's"), 13u);
  EXPECT_EQ(program->count("suppressed visit"), 0u);
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
