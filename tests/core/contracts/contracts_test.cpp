#include <chrono>
#include <ctime>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "core/contracts/clock.h"
#include "core/contracts/speech_service.h"

namespace vorlane {
namespace {

TEST(SystemClock, ReadsTheRealClockEveryTime) {
  const SystemClock clock;
  const Date first = clock.now();
  EXPECT_NEAR(first.unixSeconds(), static_cast<double>(std::time(nullptr)), 5.0);
  // Wait for the system clock to move on by a millisecond; a cached reading would not.
  const auto until = std::chrono::system_clock::now() + std::chrono::milliseconds(1);
  while (std::chrono::system_clock::now() < until) {
  }
  EXPECT_GT(clock.now(), first);
}

// Records what reaches the three-argument speak.
class RecordingSpeech final : public SpeechService {
 public:
  using SpeechService::speak;

  struct Call {
    std::string text;
    std::optional<Date> moment;
    bool hasCompletion;
  };

  bool isSpeaking() const override { return false; }
  void speak(const std::string& text, std::optional<Date> moment, Completion completion) override {
    calls.push_back({text, moment, static_cast<bool>(completion)});
    if (completion) completion();
  }
  void stop() override {}

  std::vector<Call> calls;
};

TEST(SpeechService, ShortSpeakPassesNoMomentAndKeepsTheCompletion) {
  RecordingSpeech speech;
  SpeechService& service = speech;  // as callers hold it
  int completed = 0;
  service.speak("It's three o'clock", [&] { ++completed; });
  service.speak("Stretch", nullptr);
  ASSERT_EQ(speech.calls.size(), 2u);
  EXPECT_EQ(speech.calls[0].text, "It's three o'clock");
  EXPECT_FALSE(speech.calls[0].moment);
  EXPECT_TRUE(speech.calls[0].hasCompletion);
  EXPECT_EQ(completed, 1);
  EXPECT_FALSE(speech.calls[1].moment);
  EXPECT_FALSE(speech.calls[1].hasCompletion);
}

}  // namespace
}  // namespace vorlane
