#include <chrono>
#include <ctime>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "core/contracts/busy_interval.h"
#include "core/contracts/clock.h"
#include "core/contracts/focus_opportunity.h"
#include "core/contracts/speech_service.h"

namespace vorlane {
namespace {

TEST(FocusOpportunity, EqualityCoversAllThreeFields) {
  const FocusOpportunity base{25, Date(1000), std::nullopt};
  struct Row {
    const char* name;
    FocusOpportunity other;
    bool equal;
  };
  const Row rows[] = {
      {"both next-busy absent", {25, Date(1000), std::nullopt}, true},
      {"next-busy present on one side", {25, Date(1000), Date(1000)}, false},
      {"minutes differ", {26, Date(1000), std::nullopt}, false},
      {"end differs", {25, Date(1000.5), std::nullopt}, false},
  };
  for (const Row& row : rows) EXPECT_EQ(base == row.other, row.equal) << row.name;
  EXPECT_EQ((FocusOpportunity{25, Date(1000), Date(2000)}), (FocusOpportunity{25, Date(1000), Date(2000)}));
  EXPECT_NE((FocusOpportunity{25, Date(1000), Date(2000)}), (FocusOpportunity{25, Date(1000), Date(2001)}));
  EXPECT_EQ((BusyInterval{Date(1), Date(2)}), (BusyInterval{Date(1), Date(2)}));
  EXPECT_NE((BusyInterval{Date(1), Date(2)}), (BusyInterval{Date(1), Date(3)}));
}

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

TEST(SpeechService, ShortSpeakPassesNoMoment) {
  RecordingSpeech speech;
  int completed = 0;
  speech.speak("It's three o'clock", [&] { ++completed; });
  speech.speak("Stretch", nullptr);
  speech.speak("It's four o'clock", Date(3600), nullptr);

  ASSERT_EQ(speech.calls.size(), 3u);
  EXPECT_EQ(speech.calls[0].text, "It's three o'clock");
  EXPECT_FALSE(speech.calls[0].moment);
  EXPECT_TRUE(speech.calls[0].hasCompletion);
  EXPECT_EQ(completed, 1);
  EXPECT_FALSE(speech.calls[1].moment);
  EXPECT_FALSE(speech.calls[1].hasCompletion);
  EXPECT_EQ(speech.calls[2].moment, Date(3600));

  // Through the interface, as callers hold it.
  SpeechService& service = speech;
  service.speak("Again", [] {});
  EXPECT_FALSE(speech.calls.back().moment);
}

}  // namespace
}  // namespace vorlane
