#include "platform/services/bundled_speech.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/services/wav_decoder.h"
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

// The recorded clips the build made: all 24 present, each a readable, audible sound.
TEST(BundledSpeech, TheBuildRecordedAllTwentyFourClipsAudibly) {
  std::set<std::vector<std::int16_t>> distinct;
  for (int hour = 0; hour < 12; ++hour) {
    for (const char* minute : {"00", "30"}) {
      const std::string name = "hour-" + std::to_string(hour) + "-" + minute + ".wav";
      SCOPED_TRACE(name);
      const auto path = std::filesystem::path(VORLANE_SOUNDS_BUILD_DIR) / name;
      const std::optional<PcmBuffer> sound = decodeWav(testing::readFile(path).value_or(""));
      ASSERT_TRUE(sound.has_value());
      EXPECT_EQ(sound->channels, 1);
      EXPECT_GE(sound->seconds(), 0.5);
      EXPECT_LE(sound->seconds(), 5.0);
      EXPECT_GT(testing::rmsLevel(*sound), 0.01);
      distinct.insert(sound->samples);
    }
  }
  EXPECT_EQ(distinct.size(), 24u);  // different words, not one clip copied 24 times
}

}  // namespace
}  // namespace vorlane
