#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/contracts/notification_service.h"
#include "core/contracts/speech_service.h"
#include "core/contracts/ticker.h"
#include "foundation/date.h"

namespace vorlane {

// Records what it was asked to say; finishSpeaking() ends the utterance in progress.
class FakeSpeechService final : public SpeechService {
 public:
  using SpeechService::speak;

  struct Utterance {
    std::string text;
    std::optional<Date> moment;
    bool hasCompletion;
  };

  bool isSpeaking() const override { return speaking_; }
  void speak(const std::string& text, std::optional<Date> moment, Completion completion) override {
    spoken.push_back({text, moment, static_cast<bool>(completion)});
    speaking_ = true;
    completion_ = std::move(completion);
  }
  void stop() override {
    ++stops;
    finishSpeaking();
  }
  void finishSpeaking() {
    speaking_ = false;
    auto completion = std::exchange(completion_, nullptr);
    if (completion) completion();
  }

  std::vector<Utterance> spoken;
  int stops = 0;

 private:
  bool speaking_ = false;
  Completion completion_;
};

class FakeNotificationService final : public NotificationService {
 public:
  struct Posted {
    std::string title;
    std::string body;
    bool operator==(const Posted&) const = default;
  };

  void queryCapabilities() override { ++authorizationRequests; }
  void postSilent(const std::string& title, const std::string& body) override {
    posted.push_back({title, body});
  }

  int authorizationRequests = 0;
  std::vector<Posted> posted;
};

// A ticker the test fires by hand; firing while stopped does nothing, as a stopped timer.
class FakeTicker final : public Ticker {
 public:
  void start() override {
    running = true;
    ++starts;
  }
  void stop() override { running = false; }
  void fire() {
    const auto callback = onTick;
    if (running && callback) callback();
  }

  bool running = false;
  int starts = 0;
};

}  // namespace vorlane
