// The recorded hour clips the build made: all 24 present, each a readable, audible sound.

#include <gtest/gtest.h>

#include <set>

#include "platform/services/wav_decoder.h"
#include "tests/platform/services/speech_fakes.h"

namespace vorlane {
namespace {

TEST(HourClips, TheBuildRecordedAllTwentyFourAudibly) {
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
