#include <gtest/gtest.h>

#include <ctime>

#include "core/contracts/clock.h"
#include "core/contracts/speech_service.h"

namespace vorlane {
namespace {

TEST(SystemClock, ReadsTheRealClockEveryTime) {
  const SystemClock clock;
  const Date first = clock.now();
  EXPECT_NEAR(first.unixSeconds(), static_cast<double>(std::time(nullptr)), 5.0);
  for (int i = 0; !(clock.now() > first); ++i)
    ASSERT_LT(i, 100000000) << "a cached reading never moves on";
}

struct RecordingSpeech final : SpeechService {  // notes texts, "@" for a moment, "+" a completion
  bool isSpeaking() const override { return false; }
  void speak(const std::string& text, std::optional<Date> moment, Completion completion) override {
    said += text + (moment ? "@" : "") + (completion ? "+;" : ";");
    if (completion) completion();
  }
  void stop() override {}
  std::string said;
};

TEST(SpeechService, ShortSpeakPassesNoMomentAndKeepsTheCompletion) {
  RecordingSpeech speech;
  static_cast<SpeechService&>(speech).speak("It's three o'clock", [&] { speech.said += "done;"; });
  static_cast<SpeechService&>(speech).speak("Stretch", nullptr);
  EXPECT_EQ(speech.said, "It's three o'clock+;done;Stretch;");
}

}  // namespace
}  // namespace vorlane
