#include "platform/services/flite_engine.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <limits>

#include "tests/platform/services/speech_fakes.h"

namespace vorlane {
namespace {

TEST(FliteEngine, RateMapsToDurationStretchAndOddRatesToTheEdgesOrDefault) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  // Rate and stretch: rates in range, then odd ones.
  const std::pair<float, float> rows[] = {
      {0.5f, 1.0f},  {0.0f, 2.0f}, {1.0f, 0.5f}, {0.25f, std::sqrt(2.0f)},
      {-3.0f, 2.0f}, {7.0f, 0.5f}, {nan, 1.0f},  {inf, 1.0f},
      {-inf, 1.0f},
  };
  for (const auto& [rate, stretch] : rows) {
    EXPECT_NEAR(durationStretch(rate), stretch, 1e-6f) << rate;
  }
}

TEST(FliteEngine, SynthesisesAudibleSpeechInTheChosenVoiceAndRateAndSurvivesOddText) {
  FliteEngine engine;
  const auto say = [&](std::optional<std::string> voice, float rate,
                       const std::string& text = "It's four o'clock") {
    auto sound = engine.synthesize(text, voice, rate);
    EXPECT_TRUE(sound.has_value()) << text;
    return sound.value_or(PcmBuffer{});
  };
  const PcmBuffer normal = say(std::nullopt, 0.5f);
  EXPECT_EQ(normal.sampleRate, 16000);
  EXPECT_EQ(normal.channels, 1);
  EXPECT_GT(normal.seconds(), 0.5);
  EXPECT_GT(testing::rmsLevel(normal), 0.01);
  // slt is the default, also for a name no voice has; kal is an 8 kHz voice.
  EXPECT_EQ(say("flite:nobody", 0.5f).samples.size(), normal.samples.size());
  EXPECT_EQ(say("flite:kal", 0.5f).sampleRate, 8000);
  EXPECT_GT(say(std::nullopt, 0.0f).seconds(), normal.seconds() * 1.5);
  EXPECT_LT(say(std::nullopt, 1.0f).seconds(), normal.seconds() * 0.75);
  for (const char* odd : {"", " ", "\xff\xfe\x80 broken UTF-8", "{time} <b>&amp;</b>"}) {
    EXPECT_GT(say(std::nullopt, 0.5f, odd).sampleRate, 0) << odd;
  }
}

bool isLoaded(const char* library) {
  void* handle = dlopen(library, RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

TEST(FliteEngine, OpensAVoiceOnlyWhenItFirstSpeaks) {
  // Each voice holds megabytes once loaded; rms is spoken by no other test here.
  FliteEngine engine;
  EXPECT_EQ(engine.voices().size(), 5u);
  EXPECT_FALSE(isLoaded("libflite_cmu_us_rms.so.1"));
  EXPECT_FALSE(isLoaded("libflite_cmu_us_awb.so.1"));
  const auto sound = engine.synthesize("Ten o'clock", "flite:rms", 0.5f);
  ASSERT_TRUE(sound.has_value());
  EXPECT_GT(testing::rmsLevel(*sound), 0.01);
  EXPECT_TRUE(isLoaded("libflite_cmu_us_rms.so.1"));
  EXPECT_FALSE(isLoaded("libflite_cmu_us_awb.so.1"));
}

TEST(FliteEngine, ReleasingClosesLibfliteAndItsVoicesAndTheNextPhraseOpensThemAgain) {
  FliteEngine engine;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const auto sound = engine.synthesize("Eleven o'clock", std::nullopt, 0.5f);
    ASSERT_TRUE(sound.has_value());
    EXPECT_GT(testing::rmsLevel(*sound), 0.01);
    EXPECT_TRUE(isLoaded("libflite_cmu_us_slt.so.1"));
    EXPECT_TRUE(isLoaded("libflite.so.1"));
    engine.releaseResources();
    EXPECT_FALSE(isLoaded("libflite_cmu_us_slt.so.1"));
    EXPECT_FALSE(isLoaded("libflite_cmulex.so.1"));
    EXPECT_FALSE(isLoaded("libflite.so.1"));
  }
}

}  // namespace
}  // namespace vorlane
