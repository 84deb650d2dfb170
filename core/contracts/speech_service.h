#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "foundation/date.h"

namespace vorlane {

// Says texts aloud. `moment` is the instant the phrase announces, when it announces one
// (hourly and on-demand visits); a completion, when given, is called once the utterance
// has ended. Implementers that declare their own `speak` add `using SpeechService::speak;`.
class SpeechService {
 public:
  using Completion = std::function<void()>;

  SpeechService() = default;
  SpeechService(const SpeechService&) = delete;
  SpeechService& operator=(const SpeechService&) = delete;
  virtual ~SpeechService() = default;

  virtual bool isSpeaking() const = 0;
  virtual void speak(const std::string& text, std::optional<Date> moment,
                     Completion completion) = 0;
  virtual void stop() = 0;

  void speak(const std::string& text, Completion completion) {
    speak(text, std::nullopt, std::move(completion));
  }
};

}  // namespace vorlane
