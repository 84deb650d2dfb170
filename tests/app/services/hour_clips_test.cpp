// The recorded hour clips the build made: all 24 present, each a readable, audible sound.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include <gtest/gtest.h>

#include "app/services/bundled_speech.h"
#include "app/services/wav_decoder.h"
#include "tests/app/services/audio_levels.h"

namespace vorlane {
namespace {

const std::filesystem::path buildSounds = VORLANE_SOUNDS_BUILD_DIR;

TEST(HourClips, TheBuildRecordedAllTwentyFourAudibly) {
  std::set<std::vector<std::int16_t>> distinct;
  for (int hour = 0; hour < 12; ++hour) {
    for (const char* minute : {"00", "30"}) {
      const std::string name = "hour-" + std::to_string(hour) + "-" + minute + ".wav";
      SCOPED_TRACE(name);
      std::ifstream in(buildSounds / name, std::ios::binary);
      ASSERT_TRUE(in.good());
      const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const std::optional<PcmBuffer> sound = decodeWav(bytes);
      ASSERT_TRUE(sound.has_value());
      EXPECT_EQ(sound->channels, 1);
      EXPECT_GE(sound->seconds(), 0.5);
      EXPECT_LE(sound->seconds(), 5.0);
      EXPECT_GT(testing::rmsLevel(*sound), 0.01);
      distinct.insert(sound->samples);
    }
  }
  // Different words give different recordings, not one clip copied 24 times.
  EXPECT_EQ(distinct.size(), 24u);
}

TEST(HourClips, TheStandardLocatorFindsThemInTheBuildTree) {
  if (std::getenv("VORLANE_RESOURCE_DIR") != nullptr) {
    GTEST_SKIP() << "VORLANE_RESOURCE_DIR points elsewhere";
  }
  const ResourceLocator locator = ResourceLocator::standard();
  EXPECT_TRUE(BundledSpeech::isAvailable(locator));
  EXPECT_EQ(locator.find("hour-11-30.wav"), buildSounds / "hour-11-30.wav");
}

}  // namespace
}  // namespace vorlane
