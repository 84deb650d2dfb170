#include "platform/services/bundled_speech.h"

#include <gtest/gtest.h>

#include "tests/platform/services/speech_fakes.h"

namespace vorlane {
namespace {

const Calendar newYork("America/New_York");
Date at(int hour, int minute, int second = 0) {
  return *newYork.date(2026, 3, 10, hour, minute, second);
}

TEST(BundledSpeech, NamesTheClipOfAFullOrHalfHourOnATwelveHourDialInTheCalendarsZone) {
  struct Row {
    Date date;
    std::optional<std::string> expected;
    Calendar calendar = newYork;
  };
  const Row rows[] = {
      {at(0, 0), "hour-0-00.wav"},
      {at(12, 0), "hour-0-00.wav"},
      {at(23, 30), "hour-11-30.wav"},
      {at(14, 30, 59), "hour-2-30.wav"},
      {at(15, 7), {}},
      {at(15, 59), {}},
      {at(9, 0), "hour-10-00.wav", Calendar("Asia/Tokyo")},  // summer time: 22:00 in Tokyo
  };
  for (const Row& row : rows) {
    EXPECT_EQ(BundledSpeech::clipName(row.date, row.calendar), row.expected)
        << row.date.unixSeconds();
  }
}

TEST(BundledSpeech, StopOrANewClipDropsTheCompletionUncalled) {
  testing::TempFolder folder;
  auto* output = new testing::FakeAudioOutput;
  BundledSpeech bundled(std::unique_ptr<AudioOutput>{output});
  const auto clip = folder / "hour-3-00.wav";
  testing::writeFile(clip, testing::wavFile({16000, 1, {100, -100, 200, -200}}));
  int first = 0, completions = 0;
  ASSERT_TRUE(bundled.play(clip, [&] { ++first; }));
  ASSERT_TRUE(bundled.play(clip, [&] { ++completions; }));
  output->finishAt(0);  // the first clip's late end must not answer for the second
  EXPECT_EQ(first, 0);
  EXPECT_EQ(completions, 0);
  EXPECT_TRUE(bundled.isPlaying());
  bundled.stop();  // drops the second's completion too
  EXPECT_FALSE(bundled.isPlaying());
  output->finishAt(1);
  EXPECT_EQ(completions, 0);
}

}  // namespace
}  // namespace vorlane
