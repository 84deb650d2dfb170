// The hour at real speed: the character climbs down the column and the null sink receives
// the voice. (A sped-up clock hurries
// the audio stream as well, so the day scenario cannot hear it.)
#include "tests/e2e/scenario.h"
#include "tests/support/image_pixels.h"

namespace vorlane::e2e {
namespace {

TEST_F(Scenario, TheHourIsSpokenIntoTheSoundServer) {
  startDesktop();
  seedPreferences();
  const QImage empty = screenshot("hour-empty");
  ASSERT_TRUE(program->start({zone, at("09:59:52"), 1}));
  ASSERT_TRUE(program->waitForLine(visitLine(at("10:00:00")), 60s)) << program->log();
  ASSERT_TRUE(program->waitForLine("speaking: It's ten o'clock", 30s));
  // Its bubble with the time: the light theme's near-white fill, in the column only.
  const QRect column(940, 0, 340, 800);
  const auto bubbleFill = [](const QColor& c) {
    return c.red() >= 240 && c.green() >= 240 && c.blue() >= 240;
  };
  EXPECT_TRUE(testing::waitUntil(
      [&] { return pixelsWhere(screenshot("hour-bubble"), bubbleFill, column) > 2000; }, 15s));
  // Climbed down the column to say it.
  const QRect lowerColumn(940, 130, 340, 670);
  EXPECT_TRUE(testing::waitUntil(
      [&] { return changedPixels(empty, screenshot("hour-spoken"), lowerColumn) > 400; }, 15s));
  EXPECT_TRUE(testing::waitUntil([&] { return desktop->soundBursts() >= 1; }, 60s))
      << "nothing reached the null sink";
  EXPECT_EQ(program->count("no audio output"), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
