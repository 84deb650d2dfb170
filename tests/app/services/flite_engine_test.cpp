#include "app/services/flite_engine.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "tests/app/services/audio_levels.h"

namespace vorlane {
namespace {

TEST(FliteEngine, RateMapsToDurationStretch) {
  struct Row {
    const char* name;
    float rate;
    float stretch;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const Row rows[] = {
      {"default pace", 0.5f, 1.0f},     {"slowest", 0.0f, 2.0f},     {"fastest", 1.0f, 0.5f},
      {"quarter", 0.25f, std::sqrt(2.0f)}, {"below range", -3.0f, 2.0f}, {"above range", 7.0f, 0.5f},
      {"not a number", nan, 1.0f},     {"infinite", inf, 1.0f},     {"minus infinity", -inf, 1.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_NEAR(durationStretch(row.rate), row.stretch, 1e-6f);
  }
}

TEST(FliteEngine, SynthesisesAudibleSpeechInTheChosenVoiceAndRate) {
  FliteEngine engine;
  const std::string text = "It's four o'clock";
  const auto normal = engine.synthesize(text, std::nullopt, 0.5f);
  ASSERT_TRUE(normal.has_value());
  EXPECT_EQ(normal->sampleRate, 16000);
  EXPECT_EQ(normal->channels, 1);
  EXPECT_GT(normal->seconds(), 0.5);
  EXPECT_GT(testing::rmsLevel(*normal), 0.01);

  // slt is the default, also for a name no voice has. Its excitation noise is random, so
  // the voices are told apart by rate and length, not by samples.
  const auto slt = engine.synthesize(text, std::string("flite:slt"), 0.5f);
  const auto unknown = engine.synthesize(text, std::string("flite:nobody"), 0.5f);
  const auto rms = engine.synthesize(text, std::string("flite:rms"), 0.5f);
  ASSERT_TRUE(slt && unknown && rms);
  EXPECT_EQ(slt->samples.size(), normal->samples.size());
  EXPECT_EQ(unknown->samples.size(), normal->samples.size());
  EXPECT_NE(rms->samples.size(), normal->samples.size());

  // kal is an 8 kHz voice: its rate shows the voice was switched.
  const auto kal = engine.synthesize(text, std::string("flite:kal"), 0.5f);
  ASSERT_TRUE(kal.has_value());
  EXPECT_EQ(kal->sampleRate, 8000);

  const auto slow = engine.synthesize(text, std::nullopt, 0.0f);
  const auto fast = engine.synthesize(text, std::nullopt, 1.0f);
  ASSERT_TRUE(slow && fast);
  EXPECT_GT(slow->seconds(), normal->seconds() * 1.5);
  EXPECT_LT(fast->seconds(), normal->seconds() * 0.75);

  // The stretch is set before every synthesis, so it does not leak into the next phrase.
  const auto again = engine.synthesize(text, std::nullopt, 0.5f);
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->samples.size(), normal->samples.size());
}

TEST(FliteEngine, OddTextDoesNotBreakIt) {
  FliteEngine engine;
  const char* texts[] = {"", " ", "\xff\xfe\x80 broken UTF-8", "{time} <b>&amp;</b>",
                         "1234567890123456789012345678901234567890"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const auto sound = engine.synthesize(text, std::nullopt, 0.5f);
    ASSERT_TRUE(sound.has_value());
    EXPECT_GT(sound->sampleRate, 0);
  }
}

}  // namespace
}  // namespace vorlane
